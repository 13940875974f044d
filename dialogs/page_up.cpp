#include "dialogs/page_up.h"

#include <fstream>

#include "app/corvane_dlg.h"
#include "platform/drive_c.h"

namespace {

constexpr const char* kInformationFile = "C:\\Information.ini";

// Writes key=value into the [Information] section of the information file,
// which nothing reads back.
void WriteInformation(const char* key, const std::string& value) {
  std::ofstream out(platform::MapDriveC(kInformationFile), std::ios::app);
  out << "[Information]\n" << key << "=" << value << "\n";
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
