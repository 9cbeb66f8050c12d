// Answer lines that cannot be meant for the dialog they reach are faults of
// the replay: a form answer with more values than the form has fields.
#include "tests/shell/fixture.h"

namespace shelltest {
namespace {

TEST_F(ReplayTest, AFormAnswerWithTooManyValuesIsMalformed) {
    EXPECT_EQ(replay("toggle keyboard\ntoggle insline\nform \"0\" \"0\" \"0\" \"6\" \"0\" \"9\"\n"),
              2);
    EXPECT_NE(errors.find("form answer with 6 values for a form of 5 fields"), std::string::npos)
        << errors;
    EXPECT_EQ(state().model->edges, nullptr) << "nothing inserted";
}

} // namespace
} // namespace shelltest
