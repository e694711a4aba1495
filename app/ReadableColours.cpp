#include "app/ReadableColours.h"

#include <QLabel>
#include <cmath>

#include "app/VelmoraForm.h"

namespace {

double Linear(double channel) {
  return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

// A little above the least, so antialiased edges of thin glyphs still read.
constexpr double kAimedContrast = kLeastContrast + 0.5;

}  // namespace

double RelativeLuminance(const QColor& colour) {
  const QColor rgb = colour.toRgb();
  return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) + 0.0722 * Linear(rgb.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = RelativeLuminance(a);
  const double lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool IsDarkBackground(const QColor& background) { return RelativeLuminance(background) < 0.18; }

QColor ReadableOn(const QColor& wanted, const QColor& background) {
  if (!IsDarkBackground(background) || ContrastRatio(wanted, background) >= kAimedContrast) return wanted;
  // Raise the lightness, keeping hue and saturation, until the text stands out.
  const QColor hsl = wanted.toHsl();
  const float hue = hsl.hslHueF();
  const float saturation = hsl.hslSaturationF();
  for (int step = 1; step <= 100; ++step) {
    const float lightness = std::max(hsl.lightnessF(), 0.0f) + (1.0f - hsl.lightnessF()) * static_cast<float>(step) / 100.0f;
    const QColor candidate = QColor::fromHslF(hue, saturation, lightness).toRgb();
    if (ContrastRatio(candidate, background) >= kAimedContrast) return candidate;
  }
  return QColor(Qt::white);
}

void TEQForm::ApplyReadableColours() {
  // The fitness label keeps its highlight-tinted background; its text is
  // black or white, whichever reads better on it in the theme at hand.
  QPalette palette = LabelFitness->palette();
  const QColor background = palette.color(QPalette::Window);
  const QColor black(Qt::black);
  const QColor white(Qt::white);
  palette.setColor(QPalette::WindowText,
                   ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white);
  LabelFitness->setPalette(palette);
}
