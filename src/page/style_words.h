// align_type_convert and color_change: style values as the words of HTML attributes.
#ifndef GALSIFT_PAGE_STYLE_WORDS_H
#define GALSIFT_PAGE_STYLE_WORDS_H

#include "catalogue/string.h"

string align_type_convert(char align);
string color_change(int row);

#endif
