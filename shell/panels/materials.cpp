// The material panel: the generic property panel configured with the three
// values of a material (E, specific weight, thermal expansion coefficient),
// each accepted when 0 or greater, and the "Steel" and "Concrete" presets.
#include "attrib/blocks.h"
#include "shell/panels/propertypanel.h"
#include "units/units.h"

namespace shell {

namespace {

bool notNegative(double v) {
    return v >= 0;
}

// The preset in the customary units when the length unit is the foot or the inch.
int newPreset(const PanelKind& k, attrib::MaterialPreset preset) {
    const bool us = attrib::isCustomaryLength(units::currentUnit(units::kLengthUnit));
    const auto values = attrib::presetValues(preset, us);
    return newPresetBlock(k, attrib::presetLabel(preset), values.data(), 3);
}

const PanelKind kMaterials = {
    attrib::kMaf,
    "Maf",
    "Material Parameters",
    {"Create new material parameters", "Import list of material parameters",
     "Rename material parameter block", "Remove material parameters from list",
     "Condense list of material parameters", "Select members by current material",
     "Apply current material to selected members", "Apply current material to all members"},
    "Create new generic material parameters",
    {"This material parameter block is being used by a",
     "member of the structure.  You cannot remove it."},
    "No member belongs to the selected material.",
    true,
    {
        {"MafElas", "E:", "Elasticity Modulus", units::kElasticParamUnit,
         units::kElasticParamFormat, attrib::kElasticity, notNegative},
        {"MafSpWgt", "Specific Weight", "Specific weight: the self-weight of a load case",
         units::kSpecificWeightUnit, units::kSpecificWeightFormat, attrib::kSpecificWeight,
         notNegative},
        {"MafTherm", "Thermal Expansion Coeff.", "Thermal Expansion Coeff.",
         units::kThermalExpanUnit, units::kThermalExpanFormat, attrib::kThermalExpansion,
         notNegative},
    },
    {
        {"Steel", "Create new steel parameters", "MafNewSteel",
         [](const PanelKind& k) { return newPreset(k, attrib::kSteel); }},
        {"Concrete", "Create new concrete parameters", "MafNewConcrete",
         [](const PanelKind& k) { return newPreset(k, attrib::kConcrete); }},
    },
};

} // namespace

const PanelKind& materialPanel() {
    return kMaterials;
}

} // namespace shell
