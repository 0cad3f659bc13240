// Where the computer's power comes from, as the system reports it.
#pragma once

enum class PowerSource { kAc, kBattery, kUnknown };
