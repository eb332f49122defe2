#pragma once

#include <QFont>

// The window's face travels inside the program (Liberation Sans, regular and bold, as
// resources below ":/fonts"), for systems that have none of the families the window asks
// for. Registers it with the font database when `wanted` resolves to none of its own
// families; where one of them exists nothing changes, so the window looks as it always
// did there. Once registered, the carried face answers the next call.
void carryFaceWhereMissing(const QFont& wanted);
