#pragma once
// Stand-in until the wave runner exists: an empty record, so that the battle can keep
// its list of wave runners. The wave issue replaces this file with Classes/Level/WaveRunner.h.
class WaveRunner {};
