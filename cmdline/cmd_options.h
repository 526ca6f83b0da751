#pragma once
// The installer's command-line options: a table of option items, the parser and the help screen.

#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace cmdline {

// One entry of the option table; an item with empty name and help text is a separator.
class TItem {
public:
    TItem(std::string name, std::string helpText);
    virtual ~TItem() = default;
    // Consumes the argument when it belongs to this item.
    virtual bool Parse(const std::string& argument);
    // Left column of the help screen.
    virtual std::string HelpName() const;

    const std::string Name;
    const std::string HelpText;
};

// "--name" sets the option, "--name-" clears it.
class TBoolItem : public TItem {
public:
    TBoolItem(std::string name, std::string helpText, bool& target);
    bool Parse(const std::string& argument) override;

private:
    bool& Target;
};

// "--name=value": the rest of the argument after the name, possibly empty.
class TStringItem : public TItem {
public:
    TStringItem(std::string name, std::string helpText, std::string& target);
    bool Parse(const std::string& argument) override;
    std::string HelpName() const override;

protected:
    std::string& Target;
};

// As a string option, but a value that is not an existing folder is dropped.
class TDirItem : public TStringItem {
public:
    TDirItem(std::string name, std::string helpText, std::string& target,
             platform::FileSystem& files);
    bool Parse(const std::string& argument) override;

private:
    platform::FileSystem& Files;
};

class TCmdOptions {
public:
    explicit TCmdOptions(platform::FileSystem& files);
    virtual ~TCmdOptions() = default;
    TCmdOptions(const TCmdOptions&) = delete;
    TCmdOptions& operator=(const TCmdOptions&) = delete;

    // Offers every argument (program name excluded) to the items in table order; the first item
    // that accepts it wins, arguments that none accepts are ignored, later ones override.
    void Parse(const std::vector<std::string>& arguments);

    // The help screen, lines ended by CR LF: a blank line, the listed options, a blank line.
    std::string HelpScreen();

    bool IgnoreIDE = false;
    std::string JclPath;
    bool KeepFiles = false;
    bool IgnoreBCB = false;
    bool IgnoreDelphi = false;
    bool ShowHelp = false;
    std::string Lang;
    bool AutoUpdate = false;
    std::string RegistryDelphi;
    std::string RegistryBCB;
    std::string RegistryBDS;

protected:
    // Fills the option table; a derived option set may add items of its own.
    virtual void BuildOptionTable();
    void AddBoolOption(const std::string& name, const std::string& helpText, bool& target);
    void AddDirOption(const std::string& name, const std::string& helpText, std::string& target);
    void AddStringOption(const std::string& name, const std::string& helpText,
                         std::string& target);
    void AddSeparator();

private:
    // The table lives only while arguments are parsed or the help screen is written.
    class TableScope;

    platform::FileSystem& Files;
    std::vector<std::unique_ptr<TItem>> Items;
};

}  // namespace cmdline
