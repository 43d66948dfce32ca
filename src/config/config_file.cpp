// The one reader of KEY = value files (kantrix.ini, kantrix.in_, dariro.ini, init.ora).
#include <cstdio>
#include <cstring>

#include "config/config.h"

// The rest of the first line (a piece of at most 199 characters) that starts with `prefix`,
// from the character after the key on; empty when there is none or the file does not open.
static std::string FirstLineWith(const std::string& file, const std::string& prefix, size_t keyLength) {
  FILE* f = fopen(file.c_str(), "rt");
  if (!f) return {};
  char piece[200];
  std::string value;
  while (fgets(piece, sizeof piece, f)) {
    if (strncmp(piece, prefix.c_str(), prefix.size()) == 0) {
      value = piece + keyLength;
      break;
    }
  }
  fclose(f);
  return value;
}

std::string ReadConfigValue(const std::string& file, const std::string& key) {
  // KEY= wins over KEY = : the second form is looked for only when the first gave nothing.
  std::string v = FirstLineWith(file, key + "=", key.size());
  if (v.empty()) v = FirstLineWith(file, key + " =", key.size());
  size_t lead = v.find_first_not_of(" =");
  v.erase(0, lead == std::string::npos ? v.size() : lead);
  if (!v.empty() && v.back() == '\n') v.pop_back();
  return v;
}
