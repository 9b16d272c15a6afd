#pragma once

// Stands the Windows font names the windows ask for ("楷体", "宋体", "Arial")
// in for installed fonts of the same kind; Song's Latin letters come from a
// clear serif face, its Chinese characters from the CJK face.
void installFontSubstitutions();
