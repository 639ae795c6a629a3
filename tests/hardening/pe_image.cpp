#include "tests/hardening/pe_image.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace hardening {

namespace {

// Enough import descriptors for any real program; stops a table with no
// terminating entry from running on through the file.
constexpr size_t kMaxImportDescriptors = 1024;

}  // namespace

PeImage::PeImage(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return;
    m_bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());

    IMAGE_DOS_HEADER dos{};
    if (!ReadAtOffset(0, &dos, sizeof(dos)) || dos.e_magic != IMAGE_DOS_SIGNATURE) return;
    const auto ntOffset = static_cast<size_t>(dos.e_lfanew);
    if (!ReadAtOffset(ntOffset, &m_nt, sizeof(m_nt)) || m_nt.Signature != IMAGE_NT_SIGNATURE ||
        m_nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
        return;
    }
    // The section table follows the optional header, whatever size it declares.
    size_t at = ntOffset + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
                m_nt.FileHeader.SizeOfOptionalHeader;
    for (WORD i = 0; i < m_nt.FileHeader.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section{};
        if (!ReadAtOffset(at, &section, sizeof(section))) return;
        m_sections.push_back(section);
        at += sizeof(section);
    }
    m_valid = true;
}

IMAGE_DATA_DIRECTORY PeImage::Directory(int index) const {
    if (index < 0 || static_cast<DWORD>(index) >= OptionalHeader().NumberOfRvaAndSizes ||
        index >= IMAGE_NUMBEROF_DIRECTORY_ENTRIES) {
        return IMAGE_DATA_DIRECTORY{};
    }
    return OptionalHeader().DataDirectory[index];
}

size_t PeImage::OffsetOf(DWORD rva) const {
    for (const IMAGE_SECTION_HEADER& section : m_sections) {
        if (rva >= section.VirtualAddress && rva - section.VirtualAddress < section.SizeOfRawData) {
            return static_cast<size_t>(section.PointerToRawData) + (rva - section.VirtualAddress);
        }
    }
    return npos;
}

std::string PeImage::TextAt(DWORD rva) const {
    const size_t start = OffsetOf(rva);
    if (start >= m_bytes.size()) return std::string();
    const auto* begin = reinterpret_cast<const char*>(&m_bytes[start]);
    const auto* end = static_cast<const char*>(std::memchr(begin, '\0', m_bytes.size() - start));
    return end ? std::string(begin, end) : std::string();
}

std::vector<std::string> PeImage::ImportedLibraries(bool* complete) const {
    std::vector<std::string> names;
    *complete = false;
    const IMAGE_DATA_DIRECTORY directory = Directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
    if (directory.VirtualAddress == 0) {
        *complete = true;
        return names;
    }
    for (size_t i = 0; i < kMaxImportDescriptors; ++i) {
        IMAGE_IMPORT_DESCRIPTOR descriptor{};
        const auto rva = static_cast<DWORD>(directory.VirtualAddress + i * sizeof(descriptor));
        if (!ReadAt(rva, &descriptor)) return names;
        if (descriptor.Name == 0 && descriptor.FirstThunk == 0) {  // the all-zero end entry
            *complete = true;
            return names;
        }
        names.push_back(TextAt(descriptor.Name));
    }
    return names;
}

bool PeImage::ReadAtOffset(size_t offset, void* out, size_t size) const {
    if (offset > m_bytes.size() || size > m_bytes.size() - offset) return false;
    std::memcpy(out, &m_bytes[offset], size);
    return true;
}

}  // namespace hardening
