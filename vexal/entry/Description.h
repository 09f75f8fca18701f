// The file-filter text of LoadVexal's "DESCRIPTION" resource. The resource
// script (LoadVexal.rc) stores it as UTF-16 followed by two zero characters,
// 64 bytes in all; the module also holds it as 8-bit text (Exports.cpp).
// Plain preprocessor text: the resource compiler reads this file too.
#pragma once

#define LOADVEXAL_DESCRIPTION_TEXT "||Jorvo Ascii files (*.PCB)|||"
