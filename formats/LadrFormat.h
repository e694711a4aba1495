#pragma once
// The interpretation format of the LADR tools (a finite model finder and its
// filters): writing an algebra as one interpretation(...) term or as a theory
// a model finder can confirm, and reading every interpretation in a text.
//
// Domain numbering: the bottom "0" is 0, the top "1" is 1 and the letters
// "a", "b", ... are 2, 3, ..., as the EQ-algebra theories use the numerals.

#include <string>
#include <string_view>

#include "formats/ExchangeTables.h"
#include "formats/DomainModel.h"
#include "formats/ImportedModel.h"

// The domain number of a list position and back.
int LadrDomainOfPosition(int position, int n);

// One interpretation term, "number = " the given number, ending in ").\n".
std::string LadrInterpretation(const ExchangeTables& tables, int number, const OperationNames& names = {});

// A model finder's input: the domain size, then formulas(assumptions) with
// the axioms, the properties the settings require or forbid, and every cell
// of the tables as a fact.
std::string LadrTheory(const ExchangeTables& tables, const OperationNames& names = {});

// Every interpretation(...) term of a text, raw model-finder output or
// filtered; comments (from "%" to the end of the line) and other text around
// the terms are skipped. Each model is converted or rejected on its own and
// handed to take; the result is the fault of the whole file (empty if none).
std::string ReadLadrModels(std::string_view text, const OperationNames& names, const ModelSink& take);
// The same, every model collected.
ImportResult ReadLadrModels(std::string_view text, const OperationNames& names = {});
