// Both builds of quillara.scr import system libraries only, read from the
// files' own import tables.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/startup/ProcessHarness.h"

namespace {

struct PeImports {
  std::string error;
  WORD machine = 0;
  WORD subsystem = 0;
  std::set<std::string> libraries;
  DWORD delayImportSize = 0;
};

template <typename T>
bool ReadAt(const std::vector<unsigned char>& file, size_t offset, T* value) {
  if (offset + sizeof(T) > file.size()) return false;
  std::memcpy(value, file.data() + offset, sizeof(T));
  return true;
}

PeImports ReadImports(const std::string& path) {
  PeImports result;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    result.error = "cannot open " + path;
    return result;
  }
  std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  IMAGE_DOS_HEADER dos;
  DWORD signature = 0;
  if (!ReadAt(file, 0, &dos) || dos.e_magic != IMAGE_DOS_SIGNATURE ||
      !ReadAt(file, dos.e_lfanew, &signature) || signature != IMAGE_NT_SIGNATURE) {
    result.error = "not a PE file";
    return result;
  }
  IMAGE_FILE_HEADER header;
  size_t headerAt = dos.e_lfanew + 4;
  ReadAt(file, headerAt, &header);
  result.machine = header.Machine;
  size_t optionalAt = headerAt + sizeof header;
  WORD magic = 0;
  ReadAt(file, optionalAt, &magic);
  IMAGE_DATA_DIRECTORY imports = {}, delayImports = {};
  if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
    IMAGE_OPTIONAL_HEADER32 optional;
    ReadAt(file, optionalAt, &optional);
    result.subsystem = optional.Subsystem;
    imports = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    delayImports = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT];
  } else if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
    IMAGE_OPTIONAL_HEADER64 optional;
    ReadAt(file, optionalAt, &optional);
    result.subsystem = optional.Subsystem;
    imports = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    delayImports = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT];
  } else {
    result.error = "unknown optional header";
    return result;
  }
  result.delayImportSize = delayImports.Size;

  std::vector<IMAGE_SECTION_HEADER> sections(header.NumberOfSections);
  size_t sectionsAt = optionalAt + header.SizeOfOptionalHeader;
  for (size_t i = 0; i < sections.size(); ++i)
    ReadAt(file, sectionsAt + i * sizeof(IMAGE_SECTION_HEADER), &sections[i]);
  auto fileOffset = [&](DWORD rva) -> size_t {
    for (const auto& s : sections) {
      DWORD size = std::max(s.Misc.VirtualSize, s.SizeOfRawData);
      if (rva >= s.VirtualAddress && rva < s.VirtualAddress + size)
        return rva - s.VirtualAddress + s.PointerToRawData;
    }
    return SIZE_MAX;
  };

  size_t at = fileOffset(imports.VirtualAddress);
  for (;; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    IMAGE_IMPORT_DESCRIPTOR descriptor;
    if (at == SIZE_MAX || !ReadAt(file, at, &descriptor)) {
      result.error = "import table runs off the file";
      return result;
    }
    if (descriptor.Name == 0) break;
    size_t nameAt = fileOffset(descriptor.Name);
    std::string name;
    for (char c; nameAt < file.size() && (c = static_cast<char>(file[nameAt])) != 0; ++nameAt) {
      name += static_cast<char>(toupper(static_cast<unsigned char>(c)));
    }
    result.libraries.insert(name);
  }
  return result;
}

const std::set<std::string> SystemLibraries = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL",
                                               "OPENGL32.DLL", "GLU32.DLL",  "ADVAPI32.DLL",
                                               "COMCTL32.DLL", "MSVCRT.DLL"};

void ExpectSystemImportsOnly(const PeImports& pe) {
  ASSERT_EQ("", pe.error);
  EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, pe.subsystem);
  EXPECT_EQ(0u, pe.delayImportSize) << "no delay-loaded libraries";
  for (const std::string& library : pe.libraries) {
    EXPECT_TRUE(SystemLibraries.count(library)) << "imports " << library;
  }
  for (const char* needed : {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "OPENGL32.DLL", "GLU32.DLL",
                             "ADVAPI32.DLL", "COMCTL32.DLL"}) {
    EXPECT_TRUE(pe.libraries.count(needed)) << "does not import " << needed;
  }
}

}  // namespace

TEST(ScrImports, SixtyFourBitBuildImportsSystemLibrariesOnly) {
  PeImports pe = ReadImports(WindowsPath(QUILLARA_SCR_PATH));
  EXPECT_EQ(IMAGE_FILE_MACHINE_AMD64, pe.machine);
  ExpectSystemImportsOnly(pe);
}

TEST(ScrImports, ThirtyTwoBitBuildImportsSystemLibrariesOnly) {
  const std::string path = WindowsPath(QUILLARA_SCR_X86_PATH);
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "no 32-bit build at " << QUILLARA_SCR_X86_PATH
                 << ": build the windows-x86 preset first";
  }
  PeImports pe = ReadImports(path);
  EXPECT_EQ(IMAGE_FILE_MACHINE_I386, pe.machine);
  ExpectSystemImportsOnly(pe);
}
