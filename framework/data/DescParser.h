#pragma once
#include "framework/data/DataElement.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Nubra {

struct PFILE;

// Reads a small command language from 16-bit little-endian text files: statements of a command
// word and parameters, where a parameter is a literal, a define's name or a parenthesised list.
// The parser knows no command; a subclass handles each statement and fills the defines.
//
// Statements end at a ';' outside quotes (separator flag 1) and, with flag 2, before a line
// that starts in the first column. A '#' first on a line comments the line out. Inside quotes
// a '\' escapes the next character.
class DescParser {
public:
    enum CommandSeparator { CMDSEP_SEMICOLON = 1, CMDSEP_NO_INDENT = 2 };

    static constexpr int kMaxListDepth = 64; // deeper nesting would exhaust the stack
    static constexpr size_t kMaxListElements = 32768; // per dereferenced list, defines included

    DescParser() = default;
    DescParser(const DescParser&) = delete;
    DescParser& operator=(const DescParser&) = delete;
    virtual ~DescParser() = default;

    // Stores the text as the last error; always false.
    virtual bool Error(const std::wstring& text);
    // The define of that name (any case), or null.
    virtual DataElement* FindDefine(const std::wstring& name);
    // The list's first element is the command word, the rest its parameters; false stops the
    // loading.
    virtual bool HandleCommand(const ListDataElement& params) = 0;

    // Reads and executes the whole file; false when it cannot be opened or a statement fails
    // (the loading stops there).
    bool LoadDescriptor(const std::string& fileName);
    bool ExecuteStatement(const std::wstring& statement);
    // Appends the tokens of `text` from `pos` to `result`; with inList, stops after the ')'
    // that closes the list.
    bool TokenizeStatement(const std::wstring& text, ListDataElement* result, bool inList, size_t* pos);

    // A token's text, or the text of the define it names, unquoted. False for a list.
    bool DataToString(const DataElement* source, std::wstring* out);
    // A list dereferenced, or a copy of the list define a token names.
    bool DataToList(const DataElement* source, ListDataElement* out);
    // The items of a list (or of the list define a token names), each a token.
    bool DataToStringVector(const DataElement* source, std::vector<std::wstring>* out);
    bool DataToIntVector(const DataElement* source, std::vector<int>* out);
    bool DataToDoubleVector(const DataElement* source, std::vector<double>* out);
    // A token as written; a list as "(a, b, (c))".
    std::wstring DataElementToString(const DataElement* element);
    // Copies the list with quoted tokens unquoted, literals kept and every other name replaced
    // by a copy of its define.
    bool DereferenceList(const ListDataElement* source, ListDataElement* result);
    // Replaces a define of the same name (any case); takes ownership of the value.
    void SetDefine(const std::wstring& name, DataElement* value);

    // Drops the quotes of a quoted text; two quote characters in a row inside it stand for
    // one. Unquoted text comes back unchanged.
    static std::wstring Unquote(const std::wstring& text);

    int cmdSep = CMDSEP_SEMICOLON;
    std::wstring error; // the last error text
    int currentLineNum = 0; // where the executing statement began; 0 outside loading
    std::wstring currentLine; // the statement being collected or executed
    std::map<std::wstring, std::unique_ptr<DataElement>> defineMap; // keyed by the upper-cased name

private:
    bool ReadStatements(PFILE* file);
    bool FinishStatement();
    bool Tokenize(const std::wstring& text, ListDataElement* result, int depth, size_t* pos);
    bool Dereference(const ListDataElement& source, ListDataElement* result, int depth, size_t* budget);
    // The items of a list, or the list a token's define holds.
    bool ListItems(const DataElement* source, ListDataElement* scratch, const ListDataElement** items);
    template <typename T, typename Convert>
    bool DataToVector(const DataElement* source, std::vector<T>* out, Convert convert);
};

} // namespace Nubra
