// Private-profile ini files: "[Section]" lines and "Key=Value" lines. Names
// compare without regard to case; a write changes one line (or adds one) and
// keeps every other line of the file byte for byte.
#include <cctype>
#include <fstream>

#include "platform/Platform.h"

namespace platform {

namespace {

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::vector<std::string> ReadLines(const std::string& file) {
  std::vector<std::string> lines;
  std::ifstream in(file, std::ios::binary);
  std::string line;
  // Lines keep a carriage return of their own, so a rewrite keeps the
  // file's line ends as they were.
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// The section name of a "[...]" line, or false.
bool SectionOf(const std::string& line, std::string* name) {
  const std::string t = Trim(line);
  if (t.size() < 2 || t.front() != '[' || t.back() != ']') return false;
  *name = Trim(t.substr(1, t.size() - 2));
  return true;
}

// The key and value of a "key=value" line, or false.
bool KeyOf(const std::string& line, std::string* key, std::string* value) {
  const auto eq = line.find('=');
  if (eq == std::string::npos) return false;
  const std::string t = Trim(line);
  if (t.empty() || t[0] == ';') return false;
  *key = Trim(line.substr(0, eq));
  if (value) *value = Trim(line.substr(eq + 1));
  return !key->empty();
}

}  // namespace

std::string IniReadString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& defaultValue) {
  bool inSection = false;
  for (const auto& line : ReadLines(file)) {
    std::string name, k, v;
    if (SectionOf(line, &name)) {
      inSection = SameName(name, section);
    } else if (inSection && KeyOf(line, &k, &v) && SameName(k, key)) {
      return v;
    }
  }
  return defaultValue;
}

std::vector<std::string> IniReadKeys(const std::string& file, const std::string& section) {
  std::vector<std::string> keys;
  bool inSection = false;
  for (const auto& line : ReadLines(file)) {
    std::string name, k;
    if (SectionOf(line, &name)) {
      inSection = SameName(name, section);
    } else if (inSection && KeyOf(line, &k, nullptr)) {
      keys.push_back(k);
    }
  }
  return keys;
}

std::vector<std::string> IniReadSections(const std::string& file) {
  std::vector<std::string> sections;
  for (const auto& line : ReadLines(file)) {
    std::string name;
    if (SectionOf(line, &name)) sections.push_back(name);
  }
  return sections;
}

bool IniWriteString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value) {
  std::vector<std::string> lines = ReadLines(file);
  const bool crlf = lines.empty() || (!lines[0].empty() && lines[0].back() == '\r');
  const std::string eol = crlf ? "\r" : "";
  const std::string entry = key + "=" + value + eol;
  bool inSection = false;
  long sectionEnd = -1;  // index after the last line of the wanted section
  bool written = false;
  for (size_t i = 0; i < lines.size() && !written; ++i) {
    std::string name, k, v;
    if (SectionOf(lines[i], &name)) {
      if (inSection) break;
      inSection = SameName(name, section);
      if (inSection) sectionEnd = static_cast<long>(i) + 1;
    } else if (inSection) {
      if (KeyOf(lines[i], &k, &v) && SameName(k, key)) {
        const bool ownCr = !lines[i].empty() && lines[i].back() == '\r';
        lines[i] = key + "=" + value + (ownCr ? "\r" : "");
        written = true;
      } else if (!Trim(lines[i]).empty()) {
        sectionEnd = static_cast<long>(i) + 1;
      }
    }
  }
  if (!written) {
    if (sectionEnd < 0) {
      if (!lines.empty() && !Trim(lines.back()).empty()) lines.push_back(eol);
      lines.push_back("[" + section + "]" + eol);
      lines.push_back(entry);
    } else {
      lines.insert(lines.begin() + sectionEnd, entry);
    }
  }
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  for (const auto& line : lines) out << line << '\n';
  return static_cast<bool>(out);
}

}  // namespace platform
