#pragma once

// File dialog filters as displays read them: "Text|patterns|...||", patterns
// separated by ';'. Host side; plug-ins pass the filter text to CFileDialog.
#include <string>
#include <vector>

#include "afxexport.h"

struct AfxFileFilter {
  std::string description;            // shown as given
  std::vector<std::string> patterns;  // "*.exe", "*"
};

// The filters of a filter string, in order; an empty string gives none.
AFX_API std::vector<AfxFileFilter> AfxParseFileFilter(const std::string& filter);
// Whether a file's name (or, for "*.exe", its being executable) matches.
// Programs carry no ".exe" on this platform, so "*.exe" also takes any
// regular file that can be executed.
AFX_API bool AfxFileMatchesFilter(const std::string& path, const AfxFileFilter& filter);
