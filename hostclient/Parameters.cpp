// Process-parameter texts: parsing, the module's cache, reading and writing.
#include "hostclient/Parameters.h"

#include <cstring>

namespace hostclient {

namespace {

constexpr size_t kMaxNameChars = 255;
constexpr size_t kMaxValueChars = 255;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string UpperTrimmed(std::string_view text) {
  std::string out(Trim(text));
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

// The module's copy of the last parsed text and its parsed form.
std::string gCachedText;
TParameterList gCachedList;

}  // namespace

void TParameterList::Parse(std::string_view text) {
  Items.clear();
  std::string name, value;
  bool inValue = false;
  auto endPair = [&] {
    if (inValue && !Trim(name).empty()) Items.push_back({std::string(Trim(name)), value});
    name.clear();
    value.clear();
    inValue = false;
  };
  for (char c : text) {
    if (c == '|') {
      endPair();
    } else if (c == '=' && !inValue) {
      inValue = true;
    } else if (inValue) {
      value += c;
    } else if (name.size() < kMaxNameChars) {
      name += c;
    }
  }
  endPair();
}

const TParameter* TParameterList::Find(std::string_view name) const {
  const std::string wanted = UpperTrimmed(name);
  for (const TParameter& p : Items)
    if (UpperTrimmed(p.Name) == wanted) return &p;
  return nullptr;
}

TParameter* TParameterList::Find(std::string_view name) {
  return const_cast<TParameter*>(static_cast<const TParameterList*>(this)->Find(name));
}

std::string TParameterList::Text() const {
  std::string text;
  for (size_t i = 0; i < Items.size(); ++i) {
    if (i) text += '|';
    text += Items[i].Name;
    text += '=';
    text += Items[i].Value;
  }
  return text;
}

bool GetParameter(std::string_view text, std::string_view name, std::string& value) {
  value.clear();
  text = ZeroTerminated(text);
  if (text.empty()) return false;
  const TParameter* found = nullptr;
  TParameterList uncached;
  if (text.size() < kParameterCacheSize) {
    if (text != gCachedText) {
      gCachedText.assign(text);
      gCachedList.Parse(text);
    }
    found = gCachedList.Find(name);
  } else {
    // Too long for the cache: parsed for this call only.
    uncached.Parse(text);
    found = uncached.Find(name);
  }
  if (!found) return false;
  const std::string_view trimmed = Trim(found->Value);
  value.assign(trimmed.substr(0, std::min(trimmed.size(), kMaxValueChars)));
  return true;
}

bool SetParameter(char* buffer, std::string_view name, std::string_view value, size_t bufferSize) {
  if (!buffer || bufferSize == 0) return false;
  const std::string_view trimmedName = Trim(name);
  if (trimmedName.empty() || trimmedName.size() > kMaxNameChars ||
      trimmedName.find_first_of(std::string_view("=|\0", 3)) != std::string_view::npos)
    return false;
  const std::string_view trimmedValue = Trim(value);
  if (trimmedValue.find_first_of(std::string_view("|\0", 2)) != std::string_view::npos) return false;

  TParameterList list;
  list.Parse(std::string_view(buffer, strnlen(buffer, bufferSize)));
  if (TParameter* p = list.Find(trimmedName))
    p->Value.assign(trimmedValue);
  else
    list.Items.push_back({std::string(trimmedName), std::string(trimmedValue)});

  const std::string text = list.Text();
  if (text.size() + 1 > bufferSize) return false;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return true;
}

}  // namespace hostclient
