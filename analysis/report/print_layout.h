#pragma once
// Lays plain text out on a printing surface, line by line from the top left
// corner of the printable area, in the way the results printout has always
// looked: no margins, long lines continued rather than clipped.
#include <string>

#include "analysis/report/print_surface.h"

namespace platform {

// Prints text as one document: begins it, lays out the text followed by one
// line break (CR LF), and ends it. If the surface throws, the document is
// aborted and the error passed on.
void PrintDocument(PrintSurface& surface, const std::u32string& text);

// The layout alone, on a document the caller has begun:
// - each run of ordinary characters is drawn at the cursor, which then moves
//   right by the run's width; a run that does not fit in the rest of the page
//   width is cut after the last character that fits and continued on a new line;
// - LF starts a new line 2 pixels below the tallest run of the line just ended
//   (an empty line is one character height tall); when the new line starts
//   below the page height minus twice the height of the line just ended (for
//   an empty line, below the page height), the next page begins;
// - CR only ends a run, so CR LF is one line break;
// - TAB moves to the next multiple of 8 average character widths;
// - FF starts a new page.
// A page break caused by the last line break of the text is not carried out,
// so the printout never ends with a blank page it did not ask for.
void LayOutText(PrintSurface& surface, const std::u32string& text);

}  // namespace platform
