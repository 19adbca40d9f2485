// A copy of the built program folder (program, libraries, texts, skins, the
// base dictionary) in a folder of its own, with a small dictionary added
// first in the query and index groups.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Words of the added dictionary and their definitions.
extern const wchar_t kLanternWord[];
extern const wchar_t kLanternDefinition[];
extern const wchar_t kLighthouseWord[];
extern const wchar_t kLighthouseDefinition[];

class CProgramFolderCopy {
 public:
  CProgramFolderCopy(const wchar_t* name);
  ~CProgramFolderCopy();
  // False (with the reason) when the program folder is not built or the copy failed.
  bool Make(std::string& why);
  const std::wstring& Folder() const { return folder_; }

 private:
  bool AddDictionary(std::string& why);
  std::wstring name_;
  std::wstring folder_;
};

std::wstring TestProgramFolder();  // the folder of the running test, ending in "\"
bool IsFolderPath(const std::wstring& path);
// Screen contents as a PNG file in the build's test output folder; the path, or empty.
std::wstring SaveScreenshot(const wchar_t* name);
