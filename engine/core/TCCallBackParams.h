#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

// The named, typed values a timer control hands to its callback.
class TCCallBackParams {
public:
    class TCBaseParam {
    public:
        virtual ~TCBaseParam() = default;
        virtual void GetValue(float& out) const = 0;
        virtual void GetValue(int& out) const = 0;
        virtual void GetValue(bool& out) const = 0;
    };

    // Reading converts, so a callback that asks for a float gets the number even when the
    // parameter table declared the attribute as an integer.
    template <class T>
    class TCDefinedParam : public TCBaseParam {
    public:
        explicit TCDefinedParam(T value) : value_(value) {}
        void GetValue(float& out) const override { out = static_cast<float>(value_); }
        void GetValue(int& out) const override { out = static_cast<int>(value_); }
        void GetValue(bool& out) const override { out = value_ != T{}; }

    private:
        T value_;
    };

    void SetFloat(const std::string& name, float value) { Store(name, std::make_unique<TCDefinedParam<float>>(value)); }
    void SetInt(const std::string& name, int value) { Store(name, std::make_unique<TCDefinedParam<int>>(value)); }
    void SetBool(const std::string& name, bool value) { Store(name, std::make_unique<TCDefinedParam<bool>>(value)); }

    // False and out untouched when absent: callers write their default first.
    template <class T>
    bool GetParam(const std::string& name, T& out) const
    {
        const auto found = params_.find(name);
        if (found == params_.end())
            return false;
        found->second->GetValue(out);
        return true;
    }

    bool empty() const { return params_.empty(); }

private:
    void Store(const std::string& name, std::unique_ptr<TCBaseParam> param) { params_[name] = std::move(param); }

    std::map<std::string, std::unique_ptr<TCBaseParam>> params_;
};

enum class TCParamType { Int = 0, Float = 1, Bool = 2 };

struct TCCallbackParamDef {
    std::string name;
    TCParamType type = TCParamType::Float;
};

// Which attributes a control calling a given function carries, by function name. Filled once from
// the effect file before any effect exists.
using TCCallbackParamTable = std::map<std::string, std::vector<TCCallbackParamDef>>;

TCCallbackParamTable& GetCallbackParamTable();
void ClearCallbackParamTable();
