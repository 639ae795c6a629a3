// A registry symbolic link, removed as a link (never through its target)
// when the object goes; a cycle would otherwise trap any tree deletion.
#pragma once

#include <windows.h>

#include <string>

class RegistryLink {
public:
    // `name` below `parent` (which must stay open while the link lives) as a
    // link to `target`.
    RegistryLink(HKEY parent, const char* name, HKEY target);
    ~RegistryLink() { Remove(); }
    RegistryLink(const RegistryLink&) = delete;
    RegistryLink& operator=(const RegistryLink&) = delete;

    bool IsLinked() const { return m_linked; }
    bool Remove();

private:
    HKEY m_parent;
    std::string m_name;
    bool m_created = false;
    bool m_linked = false;
};
