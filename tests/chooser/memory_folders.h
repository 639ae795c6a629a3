// An in-memory stand-in for the file system and the chooser's boxes, for
// the platform-free tests of the path rules. It behaves like CreateDirectory:
// a folder is made only below an existing one and not where a file is.
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
    // Creation of this exact path fails (access denied, say).
    void RefuseCreation(const std::string& path) { m_refused.insert(path); }

    bool Exists(const char* path) override;
    void CreateFolder(const char* path) override;

    bool HasFolder(const std::string& path) const { return m_folders.count(path) != 0; }
    const std::vector<std::string>& CreateCalls() const { return m_createCalls; }
    const std::vector<std::string>& ExistsCalls() const { return m_existsCalls; }
    // Folders that CreateFolder actually made, in order.
    const std::vector<std::string>& Created() const { return m_created; }

private:
    std::set<std::string> m_folders;
    std::set<std::string> m_files;
    std::set<std::string> m_refused;
    std::vector<std::string> m_createCalls;
    std::vector<std::string> m_existsCalls;
    std::vector<std::string> m_created;
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
