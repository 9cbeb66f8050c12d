// Parser of the result section of a result (".pos") file, for the analysis driver: the nodal
// displacements and the element end values of the kinds axial ("SIGMA_XX "), shear
// ("SIGMA_YY ") and bending ("MOMENT_Z "). It only reads; the driver decides where the values
// go (for example that prescribed directions keep their prescribed values). A file of several
// load cases holds one such section per case. The parser never fails on content: missing
// blocks simply leave their lists empty.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrel::engine {

struct ResultNode {
    int number = 0;        // analysis node number as written
    double dx = 0, dy = 0; // global translations
    double rz = 0;         // rotation about global z
};

// End values of one element, end 1 then end 2: axial N, shear V, moment M. Kinds absent from
// the file stay 0; every value below 1e-5 in magnitude is stored as 0.
struct ResultElement {
    int number = 0;
    double N1 = 0, V1 = 0, M1 = 0;
    double N2 = 0, V2 = 0, M2 = 0;
};

struct ResultSection {
    int number = 0;                                                 // load case number (0: none)
    std::string label;                                              // its label in the case list
    std::vector<ResultNode> nodes;                                  // in file order
    std::vector<ResultElement> elements;                            // in file order
    bool has_axial = false, has_shear = false, has_bending = false; // kinds present
    bool reached_end = false;                                       // the "END" label was read
};

// Parses the text of a result file (model copy and result section): the first load case.
ResultSection ParseResultSection(std::string_view text);
// Reads and parses a result file; false when it cannot be opened.
bool ReadResultFile(const char* pos_name, ResultSection* out);

// Every load case of a result file, in file order, each with its number and label (the label
// given for its number in the list after "%RESULT", "" when the list lacks it). Values before
// the first "%RESULT.CASE" block make a case of number 0. Counts are only upper bounds: a list
// or block ends where its text ends.
std::vector<ResultSection> ParseResultCases(std::string_view text);
bool ReadResultCases(const char* pos_name, std::vector<ResultSection>* out);

} // namespace kestrel::engine
