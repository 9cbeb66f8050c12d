// Support conditions, hinges and member constraints: the values that node
// and member records hold themselves (not property blocks). Each panel keeps
// one current setting; these operations apply it to the selected nodes or
// members (one undo step, through the frame model's set-attribute operation,
// never in place) or select the entities that have it. The shell's Sup,
// Hinge and Constrt panels call them; the model display uses the hinge tests.
#pragma once

#include "attrib/attrib.h"

#include <vector>

namespace attrib {

// ---- Support conditions ----------------------------------------------------

// Direction indices of the support codes, values and stiffnesses.
enum SupportDir { kDx = 0, kDy = 1, kRz = 2 };
constexpr char kFree = '0', kFixed = '1', kSpring = '2';
// Largest inclination angle accepted, in degrees (either sign).
constexpr double kMaxSupportAngle = 360.0;

// The support state of the panel, and of a node.
struct SupportState {
    char codes[3] = {kFree, kFree, kFree};
    double angle = 0;             // degrees
    int prescribed = 0;           // prescribed displacements of the fixed directions
    double values[3] = {0, 0, 0}; // Dx, Dy (m), Rz (rad)
    double spring[3] = {0, 0, 0}; // Kx, Ky (kN/m), Kz (kNm/rad)
};

SupportState supportOf(const NodeAttrib& a);
bool hasSpring(const SupportState& s);
bool hasSupport(const NodeAttrib& a);
// The prescribed flag that is applied: springs exclude prescribed values,
// so a state with a spring applies the flag as 0 whatever the panel held.
int effectivePrescribed(const SupportState& s);
// Whether the angle field can take an inclination: no spring, no prescribed
// values and at least one fixed translation.
bool angleEditable(const SupportState& s);
// Setters that refuse what the panel refuses; false leaves the state alone.
bool setSupportAngle(SupportState& s, double degrees);       // |degrees| <= 360
bool setSpringStiffness(SupportState& s, int dir, double k); // k >= 0

// Whether a node already holds exactly the state Apply would give it.
bool sameSupport(const NodeAttrib& a, const SupportState& s);
// The Select rule: codes, angle and flag equal, and per direction the
// prescribed value of a fixed direction or the stiffness of a spring.
bool matchesSupport(const NodeAttrib& a, const SupportState& s);

// Applies the state to every selected node of the solid as one undo step;
// every selected node is deselected. Returns the number of records replaced.
int applySupport(Solid* s, const SupportState& st);
// Clears the selection of nodes and members and selects the nodes that match;
// returns how many.
int selectBySupport(Solid* s, const SupportState& st);

// ---- Hinges ------------------------------------------------------------------

// The members that meet at a node, in the order around it.
std::vector<Edge*> membersAt(const Vertex* v);
// The hinge flag of member e at its end on node v.
int hingeAt(const Edge* e, const Vertex* v);
// A node is hinged when it has at least `minMembers` members (and at least
// one) and every one is released at the end on this node. The panels use 1;
// the drawing draws a single hinge circle only from 2 members on.
bool isHingedNode(const Vertex* v, int minMembers = 1);

// Node mode: every member at every selected node gets the flag of its end at
// that node set (on) or cleared (off), also where it already had it.
int applyNodeHinge(Solid* s, bool on);
// Member mode: every selected member whose flags differ gets (start, end).
int applyMemberHinges(Solid* s, int start, int end);
int selectNodesByHinge(Solid* s, bool hinged);
int selectMembersByHinges(Solid* s, int start, int end);

// ---- Member constraints --------------------------------------------------------

int applyConstraint(Solid* s, int noAxial, int rigid);
int selectByConstraint(Solid* s, int noAxial, int rigid);

// Clears the selected flag of every node and member.
void clearSelection(Solid* s);

} // namespace attrib
