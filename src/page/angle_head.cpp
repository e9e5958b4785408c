// The part of an angle that the summary and the table's rows share.
#include "page/angle_head.h"

#include "coords/arc.h"
#include "output/number_format.h"
#include "output/page_writer.h"

// Writes "-" for a negative sign, then hours (degrees) and minutes, each truncated and of
// at least two digits, each followed by ":".
void put_angle_head(page_writer& page, const arc& angle) {
    if (angle.sign < 0)
        page.put("-");
    page.put_signed(whole_part(angle.degrees), 2, 2);
    page.put(":");
    page.put_signed(whole_part(angle.minutes), 2, 2);
    page.put(":");
}
