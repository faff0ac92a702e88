#include "header/generator_settings.h"

namespace rw {

GeneratorSettings& generatorSettings() {
  // Never destroyed, like the other process-wide objects: nothing reads the
  // settings during exit, and a destroyed object would gain nothing.
  static GeneratorSettings* settings = new GeneratorSettings();
  return *settings;
}

}  // namespace rw
