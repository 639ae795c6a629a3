// An in-memory stand-in for the file system and the chooser's boxes, for
// the platform-free tests of the path rules.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "chooser/path_rules.h"

class MemoryFolders final : public FolderFileSystem {
public:
    // Drive roots ("C:\") that exist; none at first.
    void AddDrive(char letter);
    void AddFolder(const std::string& path) { m_folders.insert(path); }
    void AddFile(const std::string& path) { m_files.insert(path); }

    bool Exists(const char* path) override;
    bool IsFolder(const char* path) override;

private:
    std::set<std::string> m_folders;
    std::set<std::string> m_files;
};

// Answers every question the same way and keeps every text shown.
class ScriptedPrompts final : public FolderPrompts {
public:
    explicit ScriptedPrompts(bool yes = true) : m_yes(yes) {}

    bool AskYesNo(const afx::UiText& text) override {
        m_questions.push_back(text.Narrow().str());
        return m_yes;
    }
    void Warn(const afx::UiText& text) override { m_warnings.push_back(text.Narrow().str()); }

    const std::vector<std::string>& Questions() const { return m_questions; }
    const std::vector<std::string>& Warnings() const { return m_warnings; }

private:
    bool m_yes;
    std::vector<std::string> m_questions;
    std::vector<std::string> m_warnings;
};
