#include "dialogs/page_up.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <string_view>
#include <vector>

#include "app/corvane_dlg.h"
#include "platform/drive_c.h"

namespace {

constexpr const char* kInformationFile = "C:\\Information.ini";

// Sets key=value in the [Information] section of the information file, as a
// profile-string write does: the key's line gets the new value, or the key is
// added at the end of its section, and a missing section at the end of the
// file. Section and key names match with blanks around them and case aside;
// every other line stays as it was. Nothing reads the file back.
void WriteInformation(const std::string& key, const std::string& value) {
  const std::filesystem::path path = platform::MapDriveC(kInformationFile);
  std::vector<std::string> lines;
  {
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
      lines.push_back(line);
  }
  const auto trimmed = [](std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    return first == text.npos ? std::string_view()
                              : text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
  };
  const auto same = [&](std::string_view a, std::string_view b) {
    return std::ranges::equal(trimmed(a), trimmed(b), [](char x, char y) {
      return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
  };

  bool inSection = false, sectionFound = false, written = false;
  std::size_t sectionEnd = 0;  // after the section's header and last non-blank line
  for (std::size_t i = 0; i < lines.size() && !written; ++i) {
    const std::string_view line = trimmed(lines[i]);
    if (line.starts_with('[')) {
      if (inSection) break;
      inSection = same(line.substr(1, line.find(']') - 1), "Information");
      if (inSection) {
        sectionFound = true;
        sectionEnd = i + 1;
      }
      continue;
    }
    if (!inSection || line.empty()) continue;
    const std::string_view name = std::string_view(lines[i]).substr(0, lines[i].find('='));
    if (name.size() < lines[i].size() && same(name, key)) {
      lines[i] = std::string(trimmed(name)) + "=" + value;
      written = true;
    }
    sectionEnd = i + 1;
  }
  if (!written) {
    if (!sectionFound) {
      lines.push_back("[Information]");
      sectionEnd = lines.size();
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd), key + "=" + value);
  }

  std::ofstream out(path, std::ios::trunc);
  for (const std::string& line : lines)
    out << line << "\n";
}

}  // namespace

void CPageUp::OnBnClickedUpgradeEsc() {
  // With no entry selected there is nothing to upgrade to.
  if (m_nEscVersionSel >= 0) m_main.LoadEscFirmware(m_nEscVersionSel, 0);
}

void CPageUp::OnBnClickedUpgradeBox() {
  if (m_nBoxVersionSel >= 0) m_main.LoadBoxFirmware(m_nBoxVersionSel, 0);
}

void CPageUp::OnBnClickedLocalEsc() {
  if (!PickImage(m_strEscFile, "bin")) return;
  m_main.LoadEscFirmware(0, 1);
}

void CPageUp::OnBnClickedLocalBox() {
  if (!PickImage(m_strBoxFile, "binbox")) return;
  m_main.LoadBoxFirmware(0, 1);
}

bool CPageUp::PickImage(std::string& path, const char* iniKey) {
  const auto chosen = m_main.m_host.chooseFileToOpen({"bin", "(*.bin)", "*.bin", false});
  if (!chosen) return false;
  path = *chosen;
  WriteInformation(iniKey, path);
  m_main.m_strFirmwarePath = path;
  return true;
}
