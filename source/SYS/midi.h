// The few MCI command strings the game sends for MIDI music, played by a FluidSynth synthesiser
// with a General MIDI sound font and mixed into the sound device's output:
//   open "<file>" type sequencer alias <name>   play <name> [from 0] [notify]
//   pause <name>   resume <name>   stop <name>   close <name>   close all
// Nothing sounds while no sound device exists (the synthesiser is fed by the device's mixer).
#pragma once

namespace sys {

constexpr unsigned long MCIERR_INVALID_DEVICE_ID = 257;
constexpr unsigned long MCIERR_UNRECOGNIZED_KEYWORD = 259;
constexpr unsigned long MCIERR_UNRECOGNIZED_COMMAND = 261;
constexpr unsigned long MCIERR_INVALID_DEVICE_NAME = 263;
constexpr unsigned long MCIERR_DEVICE_OPEN = 265;
constexpr unsigned long MCIERR_CANNOT_LOAD_DRIVER = 266;
constexpr unsigned long MCIERR_MISSING_PARAMETER = 273;
constexpr unsigned long MCIERR_FILE_NOT_FOUND = 275;
constexpr unsigned long MCIERR_DUPLICATE_ALIAS = 289;
constexpr unsigned long MCIERR_INVALID_FILE = 296;

// 0 on success, else an MCI error code. Reply text and notification window are not used.
unsigned long mciSendString(const char* command, char* returnText, unsigned returnSize,
                            void* notifyWindow);
// The text for an error code, cut to size-1 characters; false for an unknown code.
bool mciGetErrorString(unsigned long error, char* text, unsigned size);

} // namespace sys
