// svg_canvas: an SVG document written into a string, a shape at a time.
//
// Coordinates are user units (CSS pixels), written to a tenth. Only plain shapes and
// presentation attributes are written: no script, no style sheet, no style attribute and
// no link to anything outside the document, so that a Content-Security-Policy of
// default-src 'none' lets the whole picture show, and nothing in it can run.
#ifndef GALSIFT_PICTURE_SVG_CANVAS_H
#define GALSIFT_PICTURE_SVG_CANVAS_H

#include <string>

// Appends `value` (finite) to `out` to a tenth: "12.3", "-0.5", "0.0".
void put_number(std::string& out, double value);

// The outline of a shape, as a path's "d" attribute.
struct svg_path {
    std::string d;
    void move(double x, double y); // starts a new piece at (x, y)
    void to(double x, double y);   // a straight line from the last point to (x, y)
    void close();                  // back to the start of the piece
};

struct svg_canvas {
    std::string text; // the document so far

    // The document's start: `width` by `height` units on white, its `title` for whoever
    // reads it (browsers show it as a tooltip).
    void start(double width, double height, const std::string& title);
    // The document's end; nothing is added after it.
    void end();
    // `words` at (x, y), anchored "start", "middle" or "end", `size` units high; `extra`
    // attributes (id="count") are written as they stand.
    void words(double x, double y, const char* anchor, double size, const std::string& words,
               const char* extra = "");
    void line(double x1, double y1, double x2, double y2, const char* colour, double width);
    void rect(double x, double y, double width, double height, const std::string& fill,
              const char* stroke = "none");
    // A disc filled with `fill`, ringed thinly in `ring` ("none": no ring).
    void circle(double x, double y, double radius, const std::string& fill,
                const char* ring = "none");
    // `outline` filled with `fill` ("none" for a line) and drawn in `stroke` `width` wide.
    void path(const svg_path& outline, const std::string& fill, const char* stroke, double width);
};

#endif
