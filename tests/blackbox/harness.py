#!/usr/bin/python3
"""The black-box tests: the built programs run as a user runs them, what they
print and write compared byte for byte.

usage: harness.py list BACKEND         the tests that back-end serves, one a line
       harness.py run BACKEND NAME     runs one; exit 0 passed, 1 failed, 77 skipped
The programs are $MENDAROVEL and $MENDAROVEL_IMAGE; $MENDAROVEL_VERSION is
their version; $MENDAROVEL_RUNNER runs the Windows ones (CMake sets them).

Adding a scenario: in the module of its area under scenarios/ (a new module
is a new group, and a new CTest test), write a function taking a Test and,
with params=, the parameter, and mark it @scenario("namespace", ...) with the
back-ends it suits. Its docstring's first line is the case name ({} the
parameter). Build the drives' disk files first (t.disk, t.blank, t.image_of),
then t.run(ARGS, a=DISK, b=DISK) and compare with t.expect_*; every text the
program prints comes from expected.py. A scenario that needs what only one
back-end offers (the namespace's wrap, after, small_fs; Wine's drive_a and
stall) names only that one.

Adding a back-end: a module with a subclass of backend.Backend (see its
docstring: name, unavailable(), execute(), and test_name() when it runs a
scenario, or one of its parameters, as a test of its own: vm.image.720k,
or None for a parameter it cannot serve),
named in BACKENDS below; CMake asks it for its list as it asks the namespace
one (tests/blackbox/CMakeLists.txt).
"""
import sys

import scenario
from backend import SetupError
from checks import Skip
from namespace import Namespace
from pc import PC
from wine import Wine

BACKENDS = {"namespace": Namespace, "pc": PC, "wine": Wine}


def tests_of(backend):
    names = {}
    for entry in scenario.load():
        if backend.name in entry.backends:
            for case, args in entry.cases():
                name = backend.test_name(entry, *args)
                if name:  # None: a parameter that back-end cannot serve
                    names.setdefault(name, []).append((entry, case, args))
    return names


def run(backend, cases):
    why = backend.unavailable()
    if why:
        print("skipped: " + why)
        return 77
    test = scenario.Test(backend)
    try:
        for entry, test.case, args in cases:
            entry.function(test, *args)
    except Skip as skip:
        print("skipped: %s" % skip)
        return 77
    except SetupError as error:
        print("FAIL [%s]: %s" % (test.case, error))
        return 1
    finally:
        test.close()
    print(test.summary())
    return 1 if test.failures else 0


def main(argv):
    if len(argv) not in (2, 3) or argv[0] not in ("list", "run") or argv[1] not in BACKENDS:
        sys.exit(__doc__.split("\n\n")[1])
    backend = BACKENDS[argv[1]]()
    tests = tests_of(backend)
    if argv[0] == "list":
        print("\n".join(tests))
        return 0
    if len(argv) != 3 or argv[2] not in tests:
        sys.exit("no test %r for the %s back-end" % (argv[2:], backend.name))
    return run(backend, tests[argv[2]])


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
