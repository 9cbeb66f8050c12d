// The five load panels: the generic property panel configured with the values
// of nodal forces, member end moments, uniform, linear and thermal loads. The
// two distributed kinds show the "Global" / "Local" direction pair; a global
// linear load keeps its end vector parallel to its start vector after every
// edit of a component and after switching to global.
#include "attrib/blocks.h"
#include "attrib/loads.h"
#include "shell/panels/propertypanel.h"
#include "units/units.h"

namespace shell {

namespace {

using namespace units;

// After an edit of Pxi or Pxj the x component leads, after Pyi or Pyj the
// y component, after switching to global neither.
void keepParallel(attrib::PropertyBlock& b, int value) {
    attrib::ValueBlock* v = attrib::valuesOf(&b);
    if (!v) return;
    const int prefer = value < 0 ? -1 : (value == attrib::kPxi || value == attrib::kPxj ? 0 : 1);
    attrib::keepLinearLoadParallel(*v, prefer);
}

const PanelKind kNodalForces = {
    attrib::kNff,
    "Nff",
    "Nodal",
    {"Create new nodal forces", "Import list of nodal forces", "Rename nodal force block",
     "Remove nodal forces from list", "Condense list of nodal forces",
     "Select nodes by current nodal forces", "Apply current nodal forces to selected nodes", ""},
    "Label of the new nodal force block",
    {"This nodal force block is being used by a", "node of the structure.  You cannot remove it."},
    "No node belongs to the selected nodal forces.",
    false,
    {
        {"NffFx", "Fx:", "Horizontal force", kForceUnit, kForceFormat, attrib::kFx},
        {"NffFy", "Fy:", "Vertical force", kForceUnit, kForceFormat, attrib::kFy},
        {"NffMz", "Mz:", "Moment", kMomentUnit, kMomentFormat, attrib::kMz},
    },
    {},
};

const PanelKind kEndMoments = {
    attrib::kMbm,
    "Mbm",
    "End Moments",
    {"Create new member end moments", "Import list of member end moments",
     "Rename member end moments block", "Remove member end moments from list",
     "Condense list of member end moments", "Select members by current end moments",
     "Apply current end moments to selected members", ""},
    "Label of the new member end moments block",
    {"This member end moments block is being used by",
     "a member of the structure.  You cannot remove it."},
    "No member belongs to the selected end moments block.",
    false,
    {
        {"MbmMa", "Ma:", "Initial member end moment", kMomentUnit, kMomentFormat, attrib::kMa},
        {"MbmMb", "Mb:", "Final member end moment", kMomentUnit, kMomentFormat, attrib::kMb},
    },
    {},
};

const PanelKind kUniformLoads = {
    attrib::kUlf,
    "Ulf",
    "Uniform",
    {"Create new uniform load", "Import list of uniform loads", "Rename uniform load block",
     "Remove uniform load from list", "Condense list of uniform loads",
     "Select members by current uniform load", "Apply current uniform load to selected members",
     ""},
    "Label of the new uniform load block",
    {"This uniform load block is being used by a",
     "member of the structure.  You cannot remove it."},
    "No member belongs to the selected uniform load.",
    false,
    {
        {"UlfQx", "Qx:", "Load in X direction", kDistribLoadUnit, kDistribLoadFormat, attrib::kQx},
        {"UlfQy", "Qy:", "Load in Y direction", kDistribLoadUnit, kDistribLoadFormat, attrib::kQy},
    },
    {},
    true,
    nullptr,
};

const PanelKind kLinearLoads = {
    attrib::kLlf,
    "Llf",
    "Linear",
    {"Create new linear load", "Import list of linear loads", "Rename linear load block",
     "Remove linear load from list", "Condense list of linear loads",
     "Select members by current linear load", "Apply current linear load to selected members", ""},
    "Label of the new linear load block",
    {"This linear load block is being used by a",
     "member of the structure.  You cannot remove it."},
    "No member belongs to the selected linear load.",
    false,
    {
        {"LlfPxi", "Pxi:", "Start load in X direction", kDistribLoadUnit, kDistribLoadFormat,
         attrib::kPxi},
        {"LlfPyi", "Pyi:", "Start load in Y direction", kDistribLoadUnit, kDistribLoadFormat,
         attrib::kPyi},
        {"LlfPxj", "Pxj:", "End load in X direction", kDistribLoadUnit, kDistribLoadFormat,
         attrib::kPxj},
        {"LlfPyj", "Pyj:", "End load in Y direction", kDistribLoadUnit, kDistribLoadFormat,
         attrib::kPyj},
    },
    {},
    true,
    keepParallel,
};

const PanelKind kThermalLoads = {
    attrib::kTpf,
    "Tpf",
    "Thermal",
    {"Create new temperature variation", "Import list of temperature variations",
     "Rename temperature variation block", "Remove temperature variation from list",
     "Condense list of temperature variations", "Select members by current temperature variation",
     "Apply current temperature variation to selected members", ""},
    "Label of the new temperature variation block",
    {"This temperature variation block is being used by",
     "a member of the structure.  You cannot remove it."},
    "No member belongs to the selected temperature variation.",
    false,
    {
        {"TpfTop", "Ty+:", "Temperature var. at local y+ fiber", kTemperatureUnit,
         kTemperatureFormat, attrib::kTyTop},
        {"TpfBot", "Ty-:", "Temperature var. at local y- fiber", kTemperatureUnit,
         kTemperatureFormat, attrib::kTyBottom},
    },
    {},
};

} // namespace

const PanelKind& nodalForcePanel() {
    return kNodalForces;
}
const PanelKind& endMomentPanel() {
    return kEndMoments;
}
const PanelKind& uniformLoadPanel() {
    return kUniformLoads;
}
const PanelKind& linearLoadPanel() {
    return kLinearLoads;
}
const PanelKind& thermalLoadPanel() {
    return kThermalLoads;
}

} // namespace shell
