// The colour chooser shared by the colour commands. Its sixteen custom colours start white at
// every start and are shared by every chooser during the run; they are never stored, also
// not by Qt, which would otherwise keep them in its own settings file.
#pragma once

#include <cstdint>

class QWidget;

// Forgets custom colours an earlier run may have left in Qt's settings; call before the
// first chooser opens.
void ForgetStoredCustomColors();

// Opens the chooser; true with the chosen colour (0x00BBGGRR) on OK.
bool ChooseColor(QWidget* pParent, std::uint32_t& crChosen);
