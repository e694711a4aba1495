#pragma once
// The genetic operators. Each random draw comes from the process-wide
// generator in a fixed order, so a seed reproduces a whole search.

#include <cstdint>
#include <memory>

#include "model/EQAlgebra.h"
#include "genetic/EQPopulation.h"

// The gene number of gene slot k (1 .. GeneCount): slot 4 is the maximum
// gene while delta is off.
int GeneOfSlot(int slot);

// Appends count random algebras of n elements and sets the element count.
void FillRandom(TEQPopulation& population, int32_t count, int32_t n);
// As FillRandom, with the same draws in the same order, but each member is
// left unevaluated (for a population evaluated right after, which gives
// every member the same fitness again), with a message pump per member.
void FillRandomUnevaluated(TEQPopulation& population, int32_t count, int32_t n);

// Of each group of members with equal fitness and equal canonical text, the
// one with the lowest index survives; the rest are freed and the list packed.
// Hashes the canonical texts: near-linear in the population size.
void RemoveEqual(TEQPopulation& population);

// Triangular rank selection over 0 .. m-1 (index i with chance (m-i)/total).
// Always draws once; returns 0 for m <= 0.
int32_t RankSelect(int32_t m);

// Appends the 2 * GeneCount children of one pair of parents to target.
void Crossover(const TEQAlgebra& parent1, const TEQAlgebra& parent2, TEQPopulation& target);
// Child k (0 .. 2 * GeneCount - 1) of Crossover with the share drawn for the
// pair: A children at even k, B children at odd k, by gene slot. Draws nothing.
std::unique_ptr<TEQAlgebra> CrossoverChild(const TEQAlgebra& parent1, const TEQAlgebra& parent2, double share,
                                           int k);

// Mutates each member with chance rate: one entry of one gene gets a new value.
void Mutate(TEQPopulation& population, double rate);
