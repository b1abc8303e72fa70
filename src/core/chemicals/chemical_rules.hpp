#pragma once
// When a property text counts as a number, when a chemical may be used by a
// scenario, and the diffusion estimates the material manager fills in.
#include <string>
#include <string_view>

#include "core/chemicals/chemical_record.hpp"

namespace verdanel {

struct NumberCheck {
    bool passes = false;
    float value = 0;  // the decimal reading of the text, in single precision; 0 when it fails
};

// A text fails when it holds any of 24 signs (~ ! @ # $ % ^ & * ( ) _ | ` = \ ,
// / < > ? ; ' :) or a lower-case letter other than e and f. Everything else
// passes, the empty text included (value 0); upper-case letters, blanks and
// anything after the leading number are let through and simply not read.
NumberCheck numberCheck(std::string_view text);

// Usable: each of the ten required properties is non-empty and passes the number check.
bool isUsable(const ChemicalRecord& record);

// Estimates from the molecular weight M (m2/hour), as "%e" texts. M of 0
// gives an infinite value and a negative M no value at all; both texts fail
// the number check, so the chemical stays unusable until a real value is typed.
std::string airDiffusionEstimate(float molecularWeight);    // (18 / M)^0.5 x 0.09222
std::string waterDiffusionEstimate(float molecularWeight);  // (44 / M)^0.5 x 8.462e-06

// When the molecular weight passes the number check, an empty or failing
// diffusion text is replaced by its estimate; a number already there is kept.
void addDiffusionEstimates(PropertyTexts& texts);

}  // namespace verdanel
