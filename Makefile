# Wrapper around CMake: install what is missing, build, demonstrate, test, install.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= 2
PREFIX     ?= /usr/local
KVZ_ETC    ?= $(PREFIX)/kvz/etc
FUZZ_SECONDS ?= 60

# Debian packages the build, the tests and the oracles need.
DEB_PACKAGES = cmake g++ make pkg-config libgtest-dev libnetcdf-dev libopenjp2-7-dev libaec-dev \
               libeccodes-tools python3-eccodes python3-numpy netcdf-bin clang libclang-rt-14-dev

TESTDATA   = $(BUILD)/testdata
DEMO_FILE  = $(TESTDATA)/usr/share/doc/python-grib-doc/examples/CMC_reg_WIND_ISBL_300_ps60km_2010052400_P012.grib

.PHONY: all deps build build-asan build-fuzz testdata demo check test test-asan fuzz fuzz-corpus bench install clean

all: build

deps:
	@missing=""; for p in $(DEB_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKVZ_SANITIZE=ON

build-asan: deps $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# The libFuzzer targets (fuzz/fuzz_*.cpp), built with clang and the sanitizers.
FUZZ_TARGETS = $(patsubst fuzz/fuzz_%.cpp,%,$(filter-out fuzz/fuzz_support.cpp,$(wildcard fuzz/fuzz_*.cpp)))
FUZZ_LIMITS  = -rss_limit_mb=2048 -malloc_limit_mb=512 -timeout=20

$(FUZZ_BUILD)/CMakeCache.txt:
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
	  -DCMAKE_CXX_COMPILER=clang++ -DKVZ_FUZZ=ON -DKVZ_TESTS=OFF

build-fuzz: deps $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

# Every target over its seed corpus once: a crash found once stays fixed.
fuzz-corpus: build-fuzz
	@for t in $(FUZZ_TARGETS); do \
	  echo "== fuzz_$$t over fuzz/corpus/$$t"; \
	  $(FUZZ_BUILD)/fuzz_$$t $(FUZZ_LIMITS) fuzz/corpus/$$t/* > $(FUZZ_BUILD)/corpus-$$t.log 2>&1 \
	    || { tail -40 $(FUZZ_BUILD)/corpus-$$t.log; exit 1; }; \
	done

# Every target for FUZZ_SECONDS; new inputs go to $(FUZZ_BUILD)/corpus, findings
# to $(FUZZ_BUILD)/artifacts (add each finding to fuzz/corpus once it is fixed).
# A finding stops its target only; the run fails at the end.
fuzz: build-fuzz
	@mkdir -p $(FUZZ_BUILD)/artifacts
	@failed=""; for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t; \
	  echo "== fuzz_$$t for $(FUZZ_SECONDS) s"; \
	  $(FUZZ_BUILD)/fuzz_$$t $(FUZZ_LIMITS) -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_BUILD)/artifacts/$$t- $(FUZZ_BUILD)/corpus/$$t fuzz/corpus/$$t \
	    > $(FUZZ_BUILD)/fuzz-$$t.log 2>&1 || { grep -A12 -E "^==[0-9]+==|runtime error" \
	    $(FUZZ_BUILD)/fuzz-$$t.log | head -40; failed="$$failed $$t"; }; \
	  grep -E "stat::number_of_executed_units|stat::average_exec_per_sec|stat::new_units_added" \
	    $(FUZZ_BUILD)/fuzz-$$t.log; \
	done; \
	if [ -n "$$failed" ]; then echo "Findings in:$$failed (see $(FUZZ_BUILD)/artifacts)"; exit 1; fi

# Real GRIB products from a Debian documentation package; nothing of it is committed.
testdata: $(TESTDATA)/.done
$(TESTDATA)/.done: tests/oracle/make_samples.py
	mkdir -p $(TESTDATA)
	cd $(TESTDATA) && rm -f python-grib-doc_*.deb && apt-get download python-grib-doc
	dpkg -x $(TESTDATA)/python-grib-doc_*.deb $(TESTDATA)
	/usr/bin/python3 tests/oracle/make_samples.py $(TESTDATA)/usr/share/doc/python-grib-doc/examples \
	  $(TESTDATA)/generated 2>/dev/null
	touch $@

demo: build testdata
	@echo "== rudevodu on $(DEMO_FILE)"
	kvzdefault=$(CURDIR)/etc $(BUILD)/rudevodu -me out4 -fp $(CURDIR)/etc/ $(DEMO_FILE)

test: build testdata
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: build-asan testdata
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

check: test test-asan fuzz-corpus

# The program against ecCodes and CDO on generated files (bench/RESULTS.md).
bench: build
	bench/run.sh $(BUILD)

install: build
	install -d $(PREFIX)/bin $(KVZ_ETC)
	install -m 755 $(BUILD)/rudevodu $(PREFIX)/bin/rudevodu
	install -m 644 etc/* $(KVZ_ETC)/
	{ printf '*file_path %s/\n' "$(KVZ_ETC)"; cat etc/kvz.cfg; } > $(KVZ_ETC)/kvz.cfg

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
