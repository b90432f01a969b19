# make       install missing packages, build out/vykcn.dll and out/vykcn-tool
# make test  build and run every test: native, native under ASan+UBSan, Windows under Wine
# make bench  build and run every benchmark (peers compared in the same run; tables, not tests)
# make TRANSLATIONS=DIR FONT=FILE  build the module from another folder of .po/.csv files and another font
# make LATER_WINS=1                 files later in name order override earlier ones (pack-text --later-wins)

BUILD := build
CMAKE_GEN := -G Ninja
TRANSLATIONS := resources/translations
FONT := /usr/share/fonts/truetype/wqy/wqy-microhei.ttc
LATER_WINS :=

.PHONY: all deps native windows report test bench clean

all: deps native windows report

deps:
	@bash scripts/install-deps.sh

native: deps
	@cmake -S . -B $(BUILD)/native $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD)/native
	@mkdir -p out && cp $(BUILD)/native/tools/vykcn-tool out/vykcn-tool

windows: deps native
	@cmake -S . -B $(BUILD)/windows $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DVYKCN_TOOL=$(CURDIR)/out/vykcn-tool \
	  -DVYKCN_TRANSLATIONS=$(abspath $(TRANSLATIONS)) -DVYKCN_FONT=$(abspath $(FONT)) \
	  -DVYKCN_LATER_WINS=$(if $(LATER_WINS),ON,OFF) >/dev/null
	@cmake --build $(BUILD)/windows --target vykcn
	@mkdir -p out && cp $(BUILD)/windows/module/vykcn.dll out/vykcn.dll

# What was built: the module's resources checked, and a few of its translations drawn.
report: windows
	@echo
	@out/vykcn-tool inspect out/vykcn.dll
	@out/vykcn-tool preview --dll out/vykcn.dll --samples 6 -o out/preview.png
	@echo "built: out/vykcn.dll ($$(stat -c %s out/vykcn.dll) bytes), out/vykcn-tool, out/preview.png"

test: all
	@bash scripts/run-tests.sh $(BUILD)

bench: all
	@bash scripts/run-benchmarks.sh $(BUILD)

clean:
	rm -rf $(BUILD) out
