// The About box: the program's title.
#pragma once

#include "platform/dialog_host.h"

class CAboutDlg {
 public:
  explicit CAboutDlg(platform::DialogHost& host) : m_host(host) {}
  int DoModal();

 private:
  platform::DialogHost& m_host;
};
