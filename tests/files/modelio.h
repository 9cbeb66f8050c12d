// The model file writer and reader over in-memory streams, for the file
// tests and the model file fuzz target (no test framework needed).
#pragma once

#include "attrib/blocks.h"
#include "files/modelfile.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace files_test {

// Text written by writeModel.
inline std::string writeText(Solid* s, const attrib::AttributeRoot& r,
                             const attrib::AppSettings& st) {
    char* buf = nullptr;
    size_t len = 0;
    FILE* fp = open_memstream(&buf, &len);
    const bool ok = files::writeModel(fp, s, r, st);
    std::fclose(fp);
    std::string t(buf, len);
    std::free(buf);
    return ok ? t : "write failed";
}

// Reads a model file held in a string.
inline files::ReadResult readText(const std::string& text,
                                  const attrib::AppSettings& base = attrib::initialSettings()) {
    FILE* fp =
        text.empty() ? std::tmpfile() : fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    files::ReadResult r = files::readModel(fp, base);
    std::fclose(fp);
    return r;
}

// Deletes a model read beside the one being edited, without an undo record.
inline void discard(Solid* model) {
    mdl_set_recording_mode(MODE_OFF);
    mdl_delete_model(model);
    mdl_undo_recording_on();
}

} // namespace files_test
