// Both builds of quillara.scr import system libraries only, read from the
// files' own import tables.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstddef>
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

PeImports ReadImports(const std::string& path) {
  PeImports result;
  std::ifstream in(path, std::ios::binary);
  const std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  auto read = [&](size_t offset, auto* value) {
    if (offset > file.size() || sizeof *value > file.size() - offset) return false;
    std::memcpy(value, file.data() + offset, sizeof *value);
    return true;
  };
  IMAGE_DOS_HEADER dos;
  DWORD signature = 0;
  IMAGE_FILE_HEADER header;
  WORD magic = 0;
  if (!read(0, &dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || !read(dos.e_lfanew, &signature) ||
      signature != IMAGE_NT_SIGNATURE || !read(dos.e_lfanew + 4, &header) ||
      !read(dos.e_lfanew + 4 + sizeof header, &magic)) {
    result.error = "not a PE file: " + path;
    return result;
  }
  result.machine = header.Machine;
  // Both optional header layouts keep Subsystem at the same place.
  const size_t optionalAt = dos.e_lfanew + 4 + sizeof header;
  const size_t directoriesAt =
      optionalAt + (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC
                        ? offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory)
                        : offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory));
  IMAGE_DATA_DIRECTORY imports = {}, delayImports = {};
  read(optionalAt + offsetof(IMAGE_OPTIONAL_HEADER32, Subsystem), &result.subsystem);
  read(directoriesAt + IMAGE_DIRECTORY_ENTRY_IMPORT * sizeof imports, &imports);
  read(directoriesAt + IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT * sizeof imports, &delayImports);
  result.delayImportSize = delayImports.Size;

  auto fileOffset = [&](DWORD rva) -> size_t {
    IMAGE_SECTION_HEADER s;
    for (WORD i = 0; i < header.NumberOfSections; ++i) {
      if (!read(optionalAt + header.SizeOfOptionalHeader + i * sizeof s, &s)) break;
      DWORD size = std::max(s.Misc.VirtualSize, s.SizeOfRawData);
      if (rva >= s.VirtualAddress && rva < s.VirtualAddress + size)
        return rva - s.VirtualAddress + s.PointerToRawData;
    }
    return SIZE_MAX;
  };
  IMAGE_IMPORT_DESCRIPTOR descriptor;
  for (size_t at = fileOffset(imports.VirtualAddress);; at += sizeof descriptor) {
    if (at == SIZE_MAX || !read(at, &descriptor)) {
      result.error = "import table runs off the file";
      return result;
    }
    if (descriptor.Name == 0) break;
    std::string name;
    char c;
    for (size_t nameAt = fileOffset(descriptor.Name); read(nameAt, &c) && c != 0; ++nameAt)
      name += static_cast<char>(toupper(static_cast<unsigned char>(c)));
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
