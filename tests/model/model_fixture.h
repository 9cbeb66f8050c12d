// Test fixture of the frame model: a clean module state per test and
// counting attribute hooks. Every attribute that a hook makes is a TestAttr;
// releases are counted per reference, so that a test can check that each
// reference is released exactly once over the whole test.
#pragma once

#include "model/model.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

struct TestAttr {
    int kind;
    int serial;
    int hinge1;
    int hinge2;
};

struct HookLog {
    int made = 0;
    std::map<const void*, int> releases; // reference -> release count
    std::vector<const TestAttr*> all;
    int split_calls = 0;
    int join_calls = 0;
    int solid_created = 0;
    const void* last_split_old = nullptr;
    std::vector<std::pair<int, int>> release_kinds; // (kind, serial)
    std::vector<std::string> calls;                 // every hook call in order, e.g. "7 e3"
};

extern HookLog g_hooks;

TestAttr* make_attr(int kind, int h1 = 0, int h2 = 0);
void install_counting_hooks();

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Checks that every reference made so far was released exactly once
    // (after the model and history are gone).
    void expect_all_released_once();

    Solid* s = nullptr;
};

// Builders.
Vertex* pt(Solid* s, double x, double y);
Edge* seg(Vertex* a, Vertex* b);
Edge* arm(Vertex* a, double x, double y);
std::string dump(const Solid* s);
// The numbers of nodes, members and faces, as "v5 e4 f1".
std::string counts(const Solid* s);
// The hinges of a member's attribute at end 1 and end 2, as "10".
std::string hinges(const Edge* e);
// A closed square from (x0, y0) to (x1, y1), drawn counter-clockwise; returns its last member.
Edge* square(Solid* s, double x0, double y0, double x1, double y1);
