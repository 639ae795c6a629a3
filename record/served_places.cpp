#include "record/served_places.h"

#include "framework/afx_mbcs.h"
#include "hosts/host_contract.h"
#include "record/install_record.h"
#include "text/path_text.h"

ServedPlaces::ServedPlaces(const CString& installFolder, const PlaceKeys& keys)
    : m_keys(&keys), m_givenInstallFolder(installFolder) {
    if (!m_keys->KeyOf(installFolder, &m_installFolder)) return;
    Add(installFolder, Place::InstallFolder);
    Add(JoinPath(installFolder, kKeptFilesFolder), Place::KeptFiles, installFolder);
    // The settings copy and the kept package are the installation folder's
    // own, like its files.
    Add(JoinPath(installFolder, kSettingsCopyFolder), Place::InstallFolder, installFolder);
    Add(JoinPath(installFolder, kPackageDataFolder), Place::InstallFolder, installFolder);
}

void ServedPlaces::Add(const CString& folder, Place place, const CString& linkFreeFrom) {
    CString key;
    CString normal;
    if (m_keys->KeyOf(folder, &key) && NormalizePath(folder, &normal)) {
        m_folders.push_back({key, normal, linkFreeFrom.IsEmpty() ? folder : linkFreeFrom, place});
    }
}

void ServedPlaces::AddHost(const CString& hostFolder, const CString& hostKey) {
    if (!IsValid()) return;
    Add(hostFolder, Place::HostFolder);
    // A linked host folder leads its fonts folder elsewhere too.
    Add(JoinPath(hostFolder, kHostFontsFolder), Place::HostFonts, hostFolder);
    m_applicationsKeys.push_back(hostKey + kApplicationsKey);
}

bool ServedPlaces::IsApplicationsKey(const char* key) const {
    const CString parent = ParentFolder(key);
    const CString name = FileNameOf(key);
    for (const CString& applications : m_applicationsKeys) {
        if (afx::MbsICmp(key, applications) == 0) return true;
        if (!name.IsEmpty() && afx::MbsICmp(parent, applications) == 0) return true;
    }
    return false;
}

void ServedPlaces::AddSettingsFolder(const CString& settingsFolder) {
    if (IsValid()) Add(settingsFolder, Place::Settings);
}

void ServedPlaces::AddEarlierInstallFolder(const CString& earlierFolder) {
    CString key;
    if (!IsValid() || !m_keys->KeyOf(earlierFolder, &key)) return;
    m_earlierFolder = key;
    for (const char* sub : {"", kKeptFilesFolder, kSettingsCopyFolder, kPackageDataFolder}) {
        Add(*sub ? JoinPath(earlierFolder, sub) : earlierFolder, Place::EarlierInstallation,
            earlierFolder);
    }
}

bool ServedPlaces::IsInstallFolder(const char* folder) const {
    CString key;
    return IsValid() && m_keys->KeyOf(folder, &key) && key == m_installFolder;
}

ServedPlaces::Location ServedPlaces::Locate(const char* path) const {
    CString key;
    CString normal;
    if (!m_keys->KeyOf(path, &key) || !NormalizePath(path, &normal)) return {};
    for (const Folder& f : m_folders) {
        if (IsDirectlyInFolder(key, f.key)) {
            CString folder = f.normal;
            StripAnyTrailingBackslash(folder);  // a drive root "C:\"
            return {f.place, JoinPath(folder, FileNameOf(normal)), f.linkFree};
        }
    }
    return {};
}

bool ServedPlaces::MayHaveCreated(const char* folder) const {
    CString key;
    if (!IsValid() || !m_keys->KeyOf(folder, &key)) return false;
    // The folder the user chose and the folders above it made for it, of
    // this installation folder and of an earlier one.
    if (IsWithinFolder(m_installFolder, key)) return true;
    if (!m_earlierFolder.IsEmpty() && IsWithinFolder(m_earlierFolder, key)) return true;
    for (const Folder& f : m_folders) {
        const bool own = f.place == Place::InstallFolder || f.place == Place::KeptFiles ||
                         f.place == Place::Settings || f.place == Place::EarlierInstallation;
        if (own && f.key == key) return true;
    }
    return false;
}
