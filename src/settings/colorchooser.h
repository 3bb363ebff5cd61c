// The colour chooser shared by the colour commands. Its sixteen custom colours start white at
// every start and are shared by every chooser during the run; they are never stored, and the
// custom colours that Qt keeps for all its programs are neither changed nor removed.
#pragma once

#include <cstdint>

class QWidget;

// Opens the chooser over pParent; true with the chosen colour (0x00BBGGRR) on OK.
bool ChooseColor(QWidget* pParent, std::uint32_t& crChosen);
