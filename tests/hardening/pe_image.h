// A 64-bit PE image read from its file as plain bytes: headers, sections,
// data directories and the names of the libraries it imports. Every read is
// bounds-checked, so a damaged file reads as invalid, never out of range.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace hardening {

class PeImage {
public:
    // Reads the file; Valid() tells whether it held a 64-bit PE image.
    explicit PeImage(const std::string& path);

    bool Valid() const { return m_valid; }
    const std::vector<BYTE>& Bytes() const { return m_bytes; }
    const IMAGE_FILE_HEADER& FileHeader() const { return m_nt.FileHeader; }
    const IMAGE_OPTIONAL_HEADER64& OptionalHeader() const { return m_nt.OptionalHeader; }
    const std::vector<IMAGE_SECTION_HEADER>& Sections() const { return m_sections; }
    // An empty directory (zero address and size) when the image has none.
    IMAGE_DATA_DIRECTORY Directory(int index) const;

    // The file offset of a relative virtual address, or npos when no
    // section's raw data holds it.
    static constexpr size_t npos = static_cast<size_t>(-1);
    size_t OffsetOf(DWORD rva) const;
    // A structure at a relative virtual address; false when out of the file.
    template <typename T>
    bool ReadAt(DWORD rva, T* out) const {
        return ReadAtOffset(OffsetOf(rva), out, sizeof(T));
    }
    // A zero-terminated text at a relative virtual address; empty when out of the file.
    std::string TextAt(DWORD rva) const;

    // The libraries named by the import directory, in table order. Sets
    // *complete to false when the table runs off the file before its end.
    std::vector<std::string> ImportedLibraries(bool* complete) const;

private:
    bool ReadAtOffset(size_t offset, void* out, size_t size) const;

    std::vector<BYTE> m_bytes;
    bool m_valid = false;
    IMAGE_NT_HEADERS64 m_nt{};
    std::vector<IMAGE_SECTION_HEADER> m_sections;
};

}  // namespace hardening
