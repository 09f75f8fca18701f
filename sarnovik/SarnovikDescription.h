// The file-filter text of LoadSarnovik's "DESCRIPTION" resource. The resource
// script (LoadSarnovik.rc) stores it as UTF-16 with one terminating zero
// character, 56 bytes in all. Plain preprocessor text: the resource compiler
// reads this file too.
#pragma once

#define LOADSARNOVIK_DESCRIPTION_TEXT "||Sarnovik Files (*.PCB)|||"
