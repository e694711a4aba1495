// The laws the search checks as it decides cells: each returns false as soon
// as an instance whose cells are all decided (or implied) fails. An instance
// with an undecided cell passes, so every pruning is sound.

#include "finder/SearchState.h"

// (x * y) * z = x * (y * z), passing while a cell is undecided.
bool AlgebraSearch::State::AssociativeAt(int x, int y, int z) const {
  const uint8_t xy = P(x, y), yz = P(y, z);
  if (xy == kUnknown || yz == kUnknown) return true;
  const uint8_t left = P(xy, z), right = P(x, yz);
  return left == kUnknown || right == kUnknown || left == right;
}

// b <= a <= c gives b ~ c <= a ~ c (monotone implication with a = x ^ y, b = a ^ z).
bool AlgebraSearch::State::MonotoneAt(int b, int a, int c) const {
  const uint8_t bc = E(b, c), ac = E(a, c);
  return bc == kUnknown || ac == kUnknown || Leq(bc, ac);
}

// The greatest u with u * upper <= lower (column upper complete), or kUnknown
// when the set of such u has no greatest element.
uint8_t AlgebraSearch::State::Residuum(int upper, int lower) const {
  int j = 0;
  for (int u = 0; u < n; ++u) {
    if (Leq(P(u, upper), lower)) j = lattice.Join(j, u);
  }
  return Leq(P(j, upper), lower) ? static_cast<uint8_t>(j) : kUnknown;
}

// Residuated: for every w below y the elements u with u * y <= w have a greatest one.
bool AlgebraSearch::State::ColumnResiduated(int y) const {
  for (int w = 0; w < n; ++w) {
    if (w != y && Leq(w, y) && Residuum(y, w) == kUnknown) return false;
  }
  return true;
}

// With residuation y ~ 0 is the greatest u with u * y = 0, and the u with
// u * y = 0 are exactly those below it. Involutive then demands
// (y ~ 0) ~ 0 = y: once c ~ 0 = y is known, column y must be 0 exactly on
// the elements below c, and known negations must pair up.
bool AlgebraSearch::State::NegationConsistent(int x, int y, uint8_t v) const {
  for (int c = 0; c < n; ++c) {
    const uint8_t m = negation[c];
    if (m == kUnknown) continue;
    if (m == y && Leq(x, c) != (v == 0)) return false;
    if (negation[m] != kUnknown && negation[m] != c) return false;
  }
  return true;
}

// With residuation a complete column y fixes x ~ y for every x below y (the
// residuum); those equalities join the checks long before their cells are
// decided. False when one of them breaks a law already.
bool AlgebraSearch::State::ForceResidua(int y) {
  for (int x = 0; x < n; ++x) {
    if (x == y || !Leq(x, y) || y == top) continue;
    const uint8_t r = Residuum(y, x);
    forced_eq[x * n + y] = forced_eq[y * n + x] = r;
    eq[x * n + y] = eq[y * n + x] = r;  // the equality cells are all undecided while products are
  }
  for (int x = 0; x < n; ++x) {
    if (x == y || !Leq(x, y) || y == top) continue;
    const uint8_t r = forced_eq[x * n + y];
    if (!ProductBelow(x, y, r) || !ProductBelow(y, x, r)) return false;
    if (!LawsAroundEquality(x, y)) return false;
  }
  return true;
}

void AlgebraSearch::State::ReleaseResidua(int y) {
  for (int x = 0; x < n; ++x) {
    if (x == y || !Leq(x, y) || y == top) continue;
    forced_eq[x * n + y] = forced_eq[y * n + x] = kUnknown;
    eq[x * n + y] = eq[y * n + x] = kUnknown;
  }
}

bool AlgebraSearch::State::ProductHolds(int x, int y, uint8_t v) {
  if (demands.commutative) {
    const uint8_t mirror = P(y, x);
    if (mirror != kUnknown && mirror != v) return false;
  }
  for (int u = 0; u < n; ++u) {  // left isotone within column y
    const uint8_t w = P(u, y);
    if (u == x || w == kUnknown) continue;
    if (Leq(u, x) && !Leq(w, v)) return false;
    if (Leq(x, u) && !Leq(v, w)) return false;
  }
  if (demands.colour_product > 0 && product_attained + product_open < demands.colour_product) return false;
  const uint8_t bound = E(x, y);  // boundedness against an equality already implied
  if (bound != kUnknown && !Leq(v, bound)) return false;
  for (int z = 0; z < n; ++z) {
    if (!AssociativeAt(x, y, z) || !AssociativeAt(z, x, y)) return false;
  }
  for (int p = 0; p < n; ++p) {
    for (int q = 0; q < n; ++q) {
      const uint8_t pq = P(p, q);
      if (pq == x && !AssociativeAt(p, q, y)) return false;
      if (pq == y && !AssociativeAt(x, p, q)) return false;
    }
  }
  if (x == top - 1 && demands.residuated && !ColumnResiduated(y)) return false;  // the column is complete
  if (demands.residuated && demands.involutive && !NegationConsistent(x, y, v)) return false;
  return true;
}

bool AlgebraSearch::State::EqualityHolds(int x, int y, uint8_t v) {
  if (!ProductBelow(x, y, v) || !ProductBelow(y, x, v)) return false;  // boundedness
  const uint8_t forced = forced_eq[x * n + y];
  if (forced != kUnknown && forced != v) return false;
  if (demands.colour_equality > 0 && equality_attained + equality_open < demands.colour_equality) return false;
  // A residuum has stood in the tables since its column was complete: its
  // laws were checked then, and each instance completed since was checked
  // by the cell that completed it.
  if (forced != kUnknown && y != top) return true;
  return LawsAroundEquality(x, y);
}

// (a ~ b) * (c ~ d) <= v for the decided pairs with a ~ c = x and b ~ d = y.
// As ~ is symmetric, the instance (c, a, d, b) is there with (a, c, b, d) and
// reads the same two equalities: a <= c covers both.
bool AlgebraSearch::State::CongruenceUnder(int x, int y, uint8_t v) const {
  if (v == top) return true;  // every product is below 1
  int pairs_y = 0;
  for (int b = 0; b < n; ++b) {
    const uint8_t* eb = &eq[b * n];
    for (int d = b; d < n; ++d) {
      if (eb[d] != y) continue;
      pair_scratch[pairs_y++] = {static_cast<uint8_t>(b), static_cast<uint8_t>(d)};
      if (d != b) pair_scratch[pairs_y++] = {static_cast<uint8_t>(d), static_cast<uint8_t>(b)};
    }
  }
  if (pairs_y == 0) return true;
  for (int a = 0; a < n; ++a) {
    const uint8_t* ea = &eq[a * n];
    for (int c = a; c < n; ++c) {
      if (ea[c] != x) continue;
      const uint8_t* ec = &eq[c * n];
      for (int k = 0; k < pairs_y; ++k) {
        const auto [b, d] = pair_scratch[k];
        const uint8_t ab = ea[b], cd = ec[d];
        if (ab == kUnknown || cd == kUnknown) continue;
        if (!ProductBelow(ab, cd, v) || !ProductBelow(cd, ab, v)) return false;
      }
    }
  }
  return true;
}

// The laws of the instances in which the decided cell x ~ y is a direct operand.
bool AlgebraSearch::State::LawsAroundEquality(int x, int y) const {
  const std::pair<int, int> orientations[2] = {{x, y}, {y, x}};
  for (const auto& [p, q] : orientations) {
    if (!Leq(p, q)) continue;
    for (int a = 0; a < n; ++a) {
      if (Leq(p, a) && Leq(a, q) && !MonotoneAt(p, a, q)) return false;
      if (Leq(a, p) && !MonotoneAt(a, p, q)) return false;
    }
  }
  if (demands.involutive && x == 0) {
    for (int u = 0; u < n; ++u) {
      const uint8_t a = E(u, 0);
      if (a == kUnknown) continue;
      const uint8_t b = E(a, 0);
      if (b != kUnknown && b != u) return false;
    }
  }
  // Congruence, (a ~ b) * (c ~ d) <= (a ~ c) ~ (b ~ d), where x ~ y is one of
  // the four operands: as ~ is symmetric, the instances with x ~ y as the
  // first or second factor share their right side (x ~ s) ~ (y ~ t), those
  // with it as the left operand of the right side share (x ~ y) ~ (s ~ t).
  // Every instance needs s ~ t decided.
  const uint8_t v = E(x, y);
  if (v == kUnknown) return true;
  const uint8_t* ex = &eq[x * n];
  const uint8_t* ey = &eq[y * n];
  const uint8_t* ev = &eq[v * n];
  for (int s = 0; s < n; ++s) {
    const uint8_t* es = &eq[s * n];
    const uint8_t xs = ex[s], ys = ey[s];
    for (int t = 0; t < n; ++t) {
      const uint8_t st = es[t];
      if (st == kUnknown) continue;
      const uint8_t xt = ex[t], yt = ey[t];
      if (xs != kUnknown && yt != kUnknown) {
        const uint8_t right = E(xs, yt);
        if (right != kUnknown && (!ProductBelow(v, st, right) || !ProductBelow(st, v, right))) return false;
      }
      const uint8_t right = ev[st];
      if (right == kUnknown) continue;
      if (xs != kUnknown && yt != kUnknown && !ProductBelow(xs, yt, right)) return false;
      if (ys != kUnknown && xt != kUnknown && !ProductBelow(ys, xt, right)) return false;
    }
  }
  // Congruence with x ~ y as the outer equality of the right side:
  // (a ~ b) * (c ~ d) <= x ~ y wherever a ~ c = x and b ~ d = y (both
  // orientations come with the ordered pairs). With this every instance of
  // every axiom is checked when its last cell is decided.
  if (!CongruenceUnder(x, y, v)) return false;
  // Substitution, ((a ^ b) ~ z) * (t ~ a) <= z ~ (t ^ b), with x ~ y (in
  // either orientation p ~ q) as each of its three equalities.
  for (const auto& [p, q] : orientations) {
    for (int b = 0; b < n; ++b) {  // t ~ a with t = p, a = q: ((q ^ b) ~ z) * v <= z ~ (p ^ b)
      const uint8_t* left_row = &eq[lattice.Meet(q, b) * n];
      const uint8_t* right_row = &eq[lattice.Meet(p, b) * n];
      for (int z = 0; z < n; ++z) {
        const uint8_t a = left_row[z], c = right_row[z];
        if (a != kUnknown && c != kUnknown && !ProductBelow(a, v, c)) return false;
      }
    }
    for (const auto& [a, b] : meet_pairs[p]) {  // (a ^ b) ~ z with a ^ b = p, z = q: v * (t ~ a) <= q ~ (t ^ b)
      const uint8_t* ea = &eq[a * n];
      const uint8_t* eq_row = &eq[q * n];
      for (int t = 0; t < n; ++t) {
        const uint8_t ta = ea[t], c = eq_row[lattice.Meet(t, b)];
        if (ta != kUnknown && c != kUnknown && !ProductBelow(v, ta, c)) return false;
      }
    }
    for (const auto& [t, b] : meet_pairs[q]) {  // z ~ (t ^ b) with z = p, t ^ b = q: ((s ^ b) ~ p) * (t ~ s) <= v
      const uint8_t* ep = &eq[p * n];
      const uint8_t* et = &eq[t * n];
      for (int s = 0; s < n; ++s) {
        const uint8_t a = ep[lattice.Meet(s, b)], ts = et[s];
        if (a != kUnknown && ts != kUnknown && !ProductBelow(a, ts, v)) return false;
      }
    }
  }
  return true;
}

// The delta laws wherever their cells are decided (the product and the
// equality are complete by now): d preserves meets, d(z) <= d(d(z)),
// d(p ~ q) <= d(p ~ 1) ~ d(q ~ 1), and with the maximum
// d(x) m (d(x) ~ 0) = 1 and d(p m q) <= d(p) m d(q). d(x) <= x is kept by the
// candidates. Every other instance is judged at the leaf.
bool AlgebraSearch::State::DeltaHolds(int x) {
  const uint8_t dx = del[x];
  const bool maximum = settings.MaximumEnabled;
  if (maximum && lattice.Join(dx, E(dx, 0)) != top) return false;
  for (int z = 0; z < n; ++z) {
    const uint8_t dz = del[z];
    if (dz == kUnknown) continue;
    const uint8_t ddz = del[dz];
    if (ddz != kUnknown && !Leq(dz, ddz)) return false;
  }
  for (int y = 0; y < n; ++y) {  // the meet and join are symmetric: (x, y) covers (y, x)
    const uint8_t dy = del[y];
    if (dy == kUnknown) continue;
    const uint8_t dm = del[lattice.Meet(x, y)];
    if (dm != kUnknown && dm != lattice.Meet(dx, dy)) return false;
    if (maximum) {
      const uint8_t dj = del[lattice.Join(x, y)];
      if (dj != kUnknown && !Leq(dj, lattice.Join(dx, dy))) return false;
    }
  }
  for (int p = 0; p < n; ++p) {
    const uint8_t dp1 = del[E(p, top)];
    if (dp1 == kUnknown) continue;
    for (int q = 0; q < n; ++q) {
      const uint8_t dq1 = del[E(q, top)], dpq = del[E(p, q)];
      if (dq1 != kUnknown && dpq != kUnknown && !Leq(dpq, E(dp1, dq1))) return false;
    }
  }
  return true;
}
