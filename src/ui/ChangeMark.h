#pragma once

class QCheckBox;

// A check box's caption is bold while the box differs from the value stored in the game
// file: exactly {bold} or no style at all; face, size and colour stay.
void showChangeMark(QCheckBox* box, bool changed);
