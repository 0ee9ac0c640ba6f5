#pragma once
#include <pugixml.hpp>

#include <string>

#include "engine/ui/TCDialog.h"

// A box's answers. Only yes counts as yes: a loop ended by shutdown answers neither.
inline constexpr int kMessageBoxNo = 0;
inline constexpr int kMessageBoxYes = 1;
inline constexpr int kMessageBoxNoAnswer = 0x7FFFFFFF;

// The yes/no box: the texts, labels and icon of a message key, and its answer.
class TCBoard_Confirm2 : public TCDialog {
public:
    explicit TCBoard_Confirm2(TCEngine* app, const char* element = "dialogbox_2button");

    // Shows the key's question and runs the application's steps until it is answered, the box
    // leaves the screen or the loop ends.
    int Ask(const std::string& key);
    void OnButtonClick(intptr_t id) override;

    int GetResult() const { return result_; }
    bool IsAsking() const { return asking_; }

protected:
    void Answer(int result);

private:
    void SetTexts(const std::string& key);
    void SetLabel(const char* control, const std::string& textId);

    int result_ = kMessageBoxNoAnswer;
    bool asking_ = false;
};

// The one-button box: any click of it answers yes.
class TCBoard_Confirm1 : public TCBoard_Confirm2 {
public:
    explicit TCBoard_Confirm1(TCEngine* app) : TCBoard_Confirm2(app, "dialogbox_1button") {}
    void OnButtonClick(intptr_t) override { Answer(kMessageBoxYes); }
};

// The full-screen dialog behind a box, holding input back from the screens below.
class TCBgDialog : public TCDialog {
public:
    explicit TCBgDialog(TCEngine* app);
};

// Built from the UI document's root (on the loading thread); reach the screen through
// AttachMessageBoxes on the main thread. Released with the widget tree.
void BuildMessageBoxes(TCEngine* app, pugi::xml_node uiRoot);
void AttachMessageBoxes(TCEngine* app);
// Forgets the boxes (the widget tree deletes them).
void ForgetMessageBoxes();

// 1 yes, 0 no; kMessageBoxNoAnswer when the loop ended first or there is no box.
int ShowMessageBox2(const std::string& key);
int ShowMessageBox1(const std::string& key);
bool IsMessageBoxOpen();

extern TCBoard_Confirm2* gConfirm2;
extern TCBoard_Confirm1* gConfirm1;
extern TCBgDialog* gBgDialog;
