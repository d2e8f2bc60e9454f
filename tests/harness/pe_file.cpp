// Reading a PE file's headers and import directory. Every field is copied out of the bytes by
// offset and length (the file's own offsets are not trusted), so junk reads as "not valid".
#include "harness/pe_file.h"

#include <cctype>
#include <cstring>

namespace vxtest {

namespace {

// The file's bytes; every read fails, rather than reading on, where the file ends.
class FileBytes {
public:
    explicit FileBytes(const std::string& bytes) : data_(bytes.data()), size_(bytes.size()) {}

    template <typename T>
    bool Read(size_t offset, T* value) const
    {
        if (offset > size_ || size_ - offset < sizeof(T))
            return false;
        memcpy(value, data_ + offset, sizeof(T));  // a copy: the file's offsets need not be aligned
        return true;
    }

    // The zero-terminated text at offset; false when no zero ends it inside the file.
    bool ReadText(size_t offset, std::string* text) const
    {
        if (offset >= size_)
            return false;
        const char* end = static_cast<const char*>(memchr(data_ + offset, 0, size_ - offset));
        if (end == nullptr)
            return false;
        text->assign(data_ + offset, end);
        return true;
    }

private:
    const char* data_;
    size_t size_;
};

class PeReader {
public:
    explicit PeReader(const std::string& bytes) : file_(bytes) {}

    bool Read(PeFacts* facts)
    {
        IMAGE_DOS_HEADER dos;
        if (!file_.Read(0, &dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0)
            return false;
        const size_t nt = static_cast<size_t>(dos.e_lfanew);
        DWORD signature;
        IMAGE_FILE_HEADER header;
        if (!file_.Read(nt, &signature) || signature != IMAGE_NT_SIGNATURE || !file_.Read(nt + 4, &header))
            return false;
        const size_t optional = nt + 4 + sizeof header;
        facts->machine = header.Machine;
        if (!file_.Read(optional, &facts->magic))
            return false;
        IMAGE_DATA_DIRECTORY imports;
        bool known = false;
        if (facts->magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC)
            known = ReadOptionalHeader<IMAGE_OPTIONAL_HEADER32>(optional, header.SizeOfOptionalHeader, facts, &imports);
        else if (facts->magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC)
            known = ReadOptionalHeader<IMAGE_OPTIONAL_HEADER64>(optional, header.SizeOfOptionalHeader, facts, &imports);
        if (!known)
            return false;
        sections_.resize(header.NumberOfSections);
        for (WORD i = 0; i < header.NumberOfSections; ++i) {
            if (!file_.Read(optional + header.SizeOfOptionalHeader + i * sizeof(IMAGE_SECTION_HEADER), &sections_[i]))
                return false;
        }
        return imports.VirtualAddress == 0 || ReadImports(imports.VirtualAddress, facts->magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC, &facts->imports);
    }

private:
    template <typename OptionalHeader>
    bool ReadOptionalHeader(size_t offset, WORD size, PeFacts* facts, IMAGE_DATA_DIRECTORY* imports) const
    {
        OptionalHeader optional;
        if (size < sizeof optional || !file_.Read(offset, &optional))
            return false;
        facts->subsystem = optional.Subsystem;
        facts->subsystemMajor = optional.MajorSubsystemVersion;
        facts->subsystemMinor = optional.MinorSubsystemVersion;
        *imports = {};
        if (optional.NumberOfRvaAndSizes > IMAGE_DIRECTORY_ENTRY_IMPORT)
            *imports = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        return true;
    }

    // Only bytes the file holds: the zero-filled tail of a section beyond its raw data is not
    // in the file.
    bool FileOffset(DWORD rva, size_t* offset) const
    {
        for (const IMAGE_SECTION_HEADER& s : sections_) {
            if (rva >= s.VirtualAddress && rva - s.VirtualAddress < s.SizeOfRawData) {
                *offset = static_cast<size_t>(s.PointerToRawData) + (rva - s.VirtualAddress);
                return true;
            }
        }
        return false;
    }

    // The zero-terminated text that starts skip bytes after the byte at rva.
    bool ReadTextAt(DWORD rva, size_t skip, std::string* text) const
    {
        size_t offset;
        return FileOffset(rva, &offset) && file_.ReadText(offset + skip, text);
    }

    // One entry of an import lookup table: 4 bytes in PE32, 8 in PE32+, the top bit marking an
    // import by ordinal.
    bool ReadThunk(size_t offset, bool pe64, ULONGLONG* entry, bool* byOrdinal) const
    {
        if (pe64) {
            if (!file_.Read(offset, entry))
                return false;
            *byOrdinal = (*entry & IMAGE_ORDINAL_FLAG64) != 0;
            return true;
        }
        DWORD entry32;
        if (!file_.Read(offset, &entry32))
            return false;
        *entry = entry32;
        *byOrdinal = (entry32 & IMAGE_ORDINAL_FLAG32) != 0;
        return true;
    }

    bool ReadImports(DWORD directoryRva, bool pe64, std::vector<PeImport>* imports) const
    {
        size_t at;
        if (!FileOffset(directoryRva, &at))
            return false;
        for (;; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
            IMAGE_IMPORT_DESCRIPTOR descriptor;
            if (!file_.Read(at, &descriptor))
                return false;
            if (descriptor.Name == 0)
                return true;
            std::string dll;
            if (!ReadTextAt(descriptor.Name, 0, &dll))
                return false;
            for (char& c : dll)
                c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
            // A linker may leave out the lookup table; the address table then still holds the names.
            size_t thunk;
            if (!FileOffset(descriptor.OriginalFirstThunk ? descriptor.OriginalFirstThunk : descriptor.FirstThunk, &thunk))
                return false;
            for (;; thunk += pe64 ? 8 : 4) {
                ULONGLONG entry;
                bool byOrdinal;
                if (!ReadThunk(thunk, pe64, &entry, &byOrdinal))
                    return false;
                if (entry == 0)
                    break;
                PeImport import = { dll, "#ordinal" };
                // A name's entry is a two-byte hint, then the name.
                if (!byOrdinal && !ReadTextAt(static_cast<DWORD>(entry & 0x7FFFFFFF), 2, &import.function))
                    return false;
                imports->push_back(import);
            }
        }
    }

    FileBytes file_;
    std::vector<IMAGE_SECTION_HEADER> sections_;
};

}  // namespace

PeFacts ReadPeFile(const std::string& bytes)
{
    PeFacts facts;
    if (!PeReader(bytes).Read(&facts))
        return PeFacts();
    facts.valid = true;
    return facts;
}

}  // namespace vxtest
