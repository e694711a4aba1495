#pragma once
// The sound that greets the first winners after a reset.

#include <QString>

// The path of the file named "tada.wav" in the directory, whatever the case
// of its name; empty when there is none.
QString FindTadaFile(const QString& directory);

// Starts playing a wave file and returns at once. Nothing is played (and no
// default sound either) when the file cannot be played. The sound object is
// made on the first call, so a program that never plays never opens audio.
void PlayWaveFile(const QString& path);
