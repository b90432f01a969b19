# make        install missing packages; build out/vykcn.dll, out/vykcn.dll.debug and out/vykcn-tool
# make test   build and run every test: native, native under ASan+UBSan, Windows under Wine; all of
#             it under build/, never touching out/
# make bench  build and run every benchmark (peers compared in the same run; tables, not tests)
# make clean  remove build/ (with the remembered settings) and out/
#
# Settings of the module's resources (README.md lists them; scripts/settings.sh holds the list):
#   TRANSLATIONS=DIR FONT=FILE GLYPH_HEIGHT=N ATLAS_SIZE=WxH LATER_WINS=1
#   ACCEPT_SHARED_HASH="0x1234ABCD ..." HOST_TEXTS=FILE EXTRA_CHARS=FILE
# Each one given is remembered in build/settings.txt until it is given again; NAME= restores its
# default. `make` and `make test` configure the Windows build with the same settings.

BUILD := build
tool := $(BUILD)/native/tools/vykcn-tool

# Every variable given on the command line, as NAME=VALUE quoted for the shell (a value may hold
# spaces); scripts/settings.sh takes those it knows.
given := $(foreach v,$(.VARIABLES),$(if $(findstring command line,$(origin $v)),'$(subst ','\'',$v=$($v))'))

.PHONY: all deps settings configure native windows report test bench clean

all: report

deps:
	@bash scripts/install-deps.sh

settings: deps
	@bash scripts/settings.sh $(BUILD) $(given)

configure: settings
	@cmake -S . -B $(BUILD)/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake -S . -B $(BUILD)/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DVYKCN_TOOL="$$(realpath -m $(tool))" \
	  -C $(BUILD)/settings.cmake >/dev/null

native: configure
	@cmake --build $(BUILD)/native --target vykcn-tool
	@mkdir -p out && cp $(tool) out/vykcn-tool

windows: native
	@cmake --build $(BUILD)/windows --target vykcn
	@mkdir -p out && cp $(BUILD)/windows/module/vykcn.dll $(BUILD)/windows/module/vykcn.dll.debug out/

# What was built: the module's resources checked, a few of its translations drawn, and a last line
# naming the translators' files that CMake packed and what the module carries.
report: windows
	@echo
	@out/vykcn-tool inspect out/vykcn.dll
	@out/vykcn-tool preview --dll out/vykcn.dll --samples 6 -o out/preview.png
	@packed=$(BUILD)/windows/generated/shipping/packed-files.txt; \
	  files=$$(wc -l <"$$packed"); [ "$$files" -eq 1 ] && noun=file || noun=files; \
	  folder=$$(dirname "$$(head -n 1 "$$packed")"); folder=$${folder#"$(CURDIR)/"}; \
	  summary=$$(out/vykcn-tool inspect --summary out/vykcn.dll) && \
	  echo "built out/vykcn.dll ($$(stat -c %s out/vykcn.dll) bytes) from $$folder ($$files $$noun): $$summary"

test: configure
	@bash scripts/run-tests.sh $(BUILD)

bench: all
	@bash scripts/run-benchmarks.sh $(BUILD)

clean:
	rm -rf $(BUILD) out
