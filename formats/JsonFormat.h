#pragma once
// One algebra as a JSON object for scripts:
// {"size": n, "elements": [...], "operations": {"meet": [[...]], ...},
//  "fitness": F, "properties": {NAME: [PASSED, TOTAL], ...}, "class": ID}
// Table cells are element names; rows are left operands; the class is the
// id of the algebra's isomorphism class (equal exactly for isomorphic ones).

#include <string>

#include "formats/ExchangeTables.h"

// Fitness and property counts of the algebra evaluated under this thread's
// settings (on a copy: the algebra itself is not changed).
std::string JsonAlgebra(const TEQAlgebra& algebra, const ExchangeTables& tables);
