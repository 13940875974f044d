#include "app/corvane_dlg.h"

void CCorvaneDlg::EditDeadBand() {}
void CCorvaneDlg::EditGearRatio() {}
void CCorvaneDlg::EditWheelDiameter() {}
void CCorvaneDlg::EditPoles() {}
