# The end-to-end runs of the import from a host installation:
#   host_check.py row SETS.json NUMBER
#       the line of the set in the dialog's list (SETS.json: rvktool host-dump output)
#   host_check.py inserted NAME BEFORE.json AFTER.json EXPECTED.json
#       checks a document (rvktool dump output) after one vehicle was taken into its
#       first fleet, against what rvktool host-export gives for the same choice
import json
import sys

if sys.argv[1] == "row":
    sets = json.load(open(sys.argv[2]))["sets"]
    print([s["number"] for s in sets].index(int(sys.argv[3])))
    sys.exit(0)
name = sys.argv[2]
before, after, expected = (json.load(open(p)) for p in sys.argv[3:6])
old = before["fleets"][0]["vehicles"]
new = after["fleets"][0]["vehicles"]
want = expected["fleets"][0]["vehicles"][0]
if len(new) != len(old) + 1:
    sys.exit(f"{name}: FAIL: the fleet holds {len(new)} vehicles, expected {len(old) + 1}")
if new[:len(old)] != old and new[1:] != old:
    sys.exit(f"{name}: FAIL: the fleet's other vehicles changed")
got = new[-1] if new[:len(old)] == old else new[0]
if got != want:
    keys = [k for k in want if got.get(k) != want[k]]
    sys.exit(f"{name}: FAIL: the inserted vehicle differs from host-export in {keys}")
if not want["zoom2"] or want["zoom2"]["info"] != "alternative":
    sys.exit(f"{name}: FAIL: the vehicle lacks the alternative file's Zoom2 graphics")
if before["fleets"][1:] != after["fleets"][1:]:
    sys.exit(f"{name}: FAIL: another fleet changed")
print(f"{name}: the saved vehicle equals host-export's ({want['info'][0]!r})")
