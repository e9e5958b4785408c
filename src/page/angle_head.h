// put_angle_head: the hours (degrees) and minutes of an angle, as the summary of the
// results page and the rows of its table both write them.
#ifndef GALSIFT_PAGE_ANGLE_HEAD_H
#define GALSIFT_PAGE_ANGLE_HEAD_H

struct arc;
struct page_writer;

void put_angle_head(page_writer& page, const arc& angle);

#endif
