// The calculation report: File > Report... and kestrel --report. A paged A4
// PDF of the model's title block and contents, the model drawn with its node
// and member numbers, the data tables, and for each case, combination and
// the envelope its pictures (axial, shear and bending diagrams, deformed
// shape with the reactions) and its result tables. The pictures are drawn by
// the screen's own model drawing; the result display is left as it was.
#pragma once

#include <string>
#include <vector>

namespace ui {
class Toolkit;
}

namespace shell {

// What a report is of: every case, combination and the envelope (ids empty),
// or the listed ids (a case id, a combination id or attrib::kEnvelope).
struct ReportRequest {
    std::string path; // the PDF to write
    std::vector<int> ids;
    std::string date; // for the title block ("2026-12-07"); today when empty
};

// Analyses the frame when it is not analysed yet (the Bending command), then
// writes the report through the atomic writer. False with the reason in
// `error` (the analysis failed, the file cannot be written); nothing is left
// at the path then. `pages` gets the number of pages written.
bool writeReport(const ReportRequest& request, std::string& error, int* pages = nullptr);

void bindReportActions(ui::Toolkit& tk);

} // namespace shell
