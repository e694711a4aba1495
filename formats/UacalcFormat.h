#pragma once
// UACalc algebra files (".ua", XML). The program numbers its elements in
// list order for this format: "0" is 0, "a" 1, ..., "1" is n-1.

#include <string>
#include <string_view>

#include "formats/DomainModel.h"
#include "formats/ExchangeTables.h"
#include "formats/ImportedModel.h"

// One basic algebra named name (an empty name becomes "eqalgebra").
std::string UacalcAlgebra(const ExchangeTables& tables, const std::string& name, const OperationNames& names = {});

// Every basicAlgebra of a document (normally the one under its root
// <algebra>), each converted or rejected on its own. A document that is not
// well-formed XML gives a file fault, returned (empty if none); the models
// are handed to take.
std::string ReadUacalcModels(std::string_view text, const OperationNames& names, const ModelSink& take);
// The same, every model collected.
ImportResult ReadUacalcModels(std::string_view text, const OperationNames& names = {});
