#pragma once
// One model read from an exchange file: the algebra when it fits the
// program's shape, or the reason it does not.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/EQAlgebra.h"

struct ImportedModel {
  std::string Label;  // names the model in messages: "model 2 (number = 7, line 40)"
  std::unique_ptr<TEQAlgebra> Algebra;  // null when rejected
  bool HasDelta = false;  // the file gave a delta
  bool HasJoin = false;   // the file gave a join
  std::string Fault;      // why it was rejected (empty when converted)
};

// Receives each model as soon as it is read, in file order; it may take the
// algebra. Models handed on one by one cost no memory beyond the one in hand.
using ModelSink = std::function<void(ImportedModel& model)>;

struct ImportResult {
  std::vector<ImportedModel> Models;  // in file order, rejected ones included
  std::string FileFault;  // a fault of the whole file (unreadable, no model in it)
};
