// init_style_variables: reading the table style from "style.var".
#ifndef GALSIFT_PAGE_STYLE_H
#define GALSIFT_PAGE_STYLE_H

int init_style_variables();

#endif
