# regwright_add_header(... CHECK) makes a finding fail the build and leaves
# no header; once the map is mended the build goes through.
set -eu
cmake_dir=$(cd "$CASE_DIR/../../../../cmake" && pwd)
mkdir project
cat > project/CMakeLists.txt <<CMAKE
cmake_minimum_required(VERSION 3.20)
project(board LANGUAGES NONE)
add_executable(regwright::regwright IMPORTED)
set_target_properties(regwright::regwright PROPERTIES IMPORTED_LOCATION "$REGWRIGHT")
include("$cmake_dir/regwrightAddHeader.cmake")
add_library(registers INTERFACE)
regwright_add_header(registers MAP soc.xml OUTPUT soc.h CHECK)
add_custom_target(headers ALL DEPENDS "\${CMAKE_CURRENT_BINARY_DIR}/soc.h")
CMAKE
cat > project/soc.xml <<'MAP'
<Root name="LARK1">
  <Register name="CTRL" start="0x40010800" size="4"/>
  <Register name="BAUD" start="0x40010802" size="2"/>
</Root>
MAP
cmake -S project -B build -G Ninja > configure.log 2>&1 || { cat configure.log; exit 1; }
if cmake --build build > build.log 2>&1; then
  echo "the build went through a map with a finding"
  exit 1
fi
grep -qF 'soc.xml:3: warning: register BAUD at 0x40010802..0x40010803 overlaps register CTRL' build.log ||
  { echo "no finding in the build's output:"; cat build.log; exit 1; }
[ ! -e build/soc.h ] || { echo "a header was written"; exit 1; }

sed -i 's/0x40010802/0x40010804/' project/soc.xml
cmake --build build > build.log 2>&1 || { cat build.log; exit 1; }
grep -q '^#define BAUD ' build/soc.h
