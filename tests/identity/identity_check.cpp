// identity_check: reads the identity of a built Windows program back from the file, as the
// system's file properties and loader read it, and compares it with what it should be.
//
//   identity_check <program> <file description> <original file name> <version x.y.z>
//
// Prints one line per item ("ok: ..." or "FAILED: ...") and exits with 1 when any failed.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

int failures = 0;

void Check(bool ok, const std::string& what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
  if (!ok) ++failures;
}

void CheckEqual(const std::string& what, const std::string& got, const std::string& expected) {
  Check(got == expected,
        what + " is '" + got + "'" + (got == expected ? "" : ", not '" + expected + "'"));
}

std::string VersionText(DWORD high, DWORD low) {
  return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." +
         std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
}

void CheckVersionResource(const char* program, const std::string& description,
                          const std::string& originalFilename, const std::string& version) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(program, &ignored);
  Check(size > 0, "the program has a version resource");
  if (size == 0) return;
  std::vector<char> info(size);
  if (!GetFileVersionInfoA(program, 0, size, info.data())) {
    Check(false, "GetFileVersionInfoA reads it");
    return;
  }

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length) &&
      fixed != nullptr) {
    CheckEqual("file version number", VersionText(fixed->dwFileVersionMS, fixed->dwFileVersionLS),
               version + ".0");
    CheckEqual("product version number",
               VersionText(fixed->dwProductVersionMS, fixed->dwProductVersionLS), version + ".0");
    Check(fixed->dwFileType == VFT_APP, "file type is an application");
  } else {
    Check(false, "the fixed version information is readable");
  }

  struct Translation {
    WORD language, codePage;
  }* translations = nullptr;
  if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translations), &length) ||
      length < sizeof(Translation)) {
    Check(false, "the version resource names its language");
    return;
  }
  char block[64];
  std::snprintf(block, sizeof block, "\\StringFileInfo\\%04x%04x\\", translations[0].language,
                translations[0].codePage);
  auto text = [&](const char* name) -> std::string {
    char* value = nullptr;
    UINT chars = 0;
    if (!VerQueryValueA(info.data(), (std::string(block) + name).c_str(),
                        reinterpret_cast<void**>(&value), &chars) ||
        value == nullptr)
      return "(none)";
    return value;
  };
  CheckEqual("FileDescription", text("FileDescription"), description);
  CheckEqual("ProductName", text("ProductName"), "Harbovale Scheduler");
  CheckEqual("CompanyName", text("CompanyName"), "Harbovale");
  CheckEqual("FileVersion", text("FileVersion"), version);
  CheckEqual("ProductVersion", text("ProductVersion"), version);
  CheckEqual("OriginalFilename", text("OriginalFilename"), originalFilename);
  CheckEqual("InternalName", text("InternalName"),
             originalFilename.substr(0, originalFilename.rfind('.')));
  const std::string copyright = text("LegalCopyright");
  Check(
      copyright.rfind("Copyright (C) ", 0) == 0 && copyright.find("Harbovale") != std::string::npos,
      "LegalCopyright is '" + copyright + "'");
}

BOOL CALLBACK CountName(HMODULE, LPCSTR, LPSTR, LONG_PTR count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// `window`: the program shows windows of its own (current common controls, per-monitor DPI).
void CheckManifest(const char* program, bool window) {
  const HMODULE module =
      LoadLibraryExA(program, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) {
    Check(false, "the program loads as a resource file");
    return;
  }
  int manifests = 0;
  EnumResourceNamesA(module, RT_MANIFEST, CountName, reinterpret_cast<LONG_PTR>(&manifests));
  CheckEqual("number of manifests", std::to_string(manifests), "1");
  const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), RT_MANIFEST);
  const HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const char* bytes = loaded != nullptr ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  Check(bytes != nullptr, "the manifest is resource 1 of type RT_MANIFEST");
  if (bytes != nullptr) {
    const std::string manifest(bytes, SizeofResource(module, found));
    auto holds = [&](const std::string& part) { return manifest.find(part) != std::string::npos; };
    Check(holds("<requestedExecutionLevel level=\"asInvoker\""), "it runs as invoker");
    const struct {
      const char* system;
      const char* id;
    } systems[] = {{"Windows 7", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"},
                   {"Windows 8", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"},
                   {"Windows 8.1", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}"},
                   {"Windows 10 and 11", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}};
    for (const auto& s : systems)
      Check(holds(std::string("<supportedOS Id=\"") + s.id + "\"/>"),
            std::string("it names ") + s.system + " as supported");
    Check(holds("<ws2:longPathAware>true</ws2:longPathAware>"), "it is aware of long paths");
    Check(!holds("activeCodePage"), "it leaves the active code page alone");
    const bool controls6 = holds("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"");
    const bool perMonitor = holds(">PerMonitorV2, PerMonitor</dpiAwareness>") && holds(">true/pm</dpiAware>");
    Check(controls6 == window, window ? "it asks for common controls 6" : "it asks for no common controls");
    Check(perMonitor == window, window ? "it is per-monitor DPI aware" : "it leaves DPI scaling to the system");
  }
  Check(FindResourceA(module, MAKEINTRESOURCEA(1), RT_GROUP_ICON) != nullptr, "it has its icon");
  FreeLibrary(module);

  // The loader's own reading: an activation context is made from the manifest only when it
  // is well-formed.
  ACTCTXA context{};
  context.cbSize = sizeof context;
  context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  context.lpSource = program;
  context.lpResourceName = MAKEINTRESOURCEA(1);
  const HANDLE activation = CreateActCtxA(&context);
  Check(activation != INVALID_HANDLE_VALUE,
        "the loader accepts the manifest (error " +
            std::to_string(activation == INVALID_HANDLE_VALUE ? GetLastError() : 0) + ")");
  if (activation != INVALID_HANDLE_VALUE) ReleaseActCtx(activation);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fputs(
        "usage: identity_check <program> <file description> <original file name> "
        "<version> plain|window\n",
        stderr);
    return 2;
  }
  std::printf("identity of %s\n", argv[1]);
  CheckVersionResource(argv[1], argv[2], argv[3], argv[4]);
  CheckManifest(argv[1], std::string(argv[5]) == "window");
  return failures == 0 ? 0 : 1;
}
