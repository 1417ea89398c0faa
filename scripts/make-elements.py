#!/usr/bin/env python3
"""Writes resources/Elements.txt, the element table of the periodic table and the
chemistry functions, from public element data:

- Debian's bodr package (Blue Obelisk Data Repository, MIT licence): names, symbols,
  atomic weights, groups, periods, melting and boiling points, radii, electronegativity,
  electron affinity, first ionization energy, discovery years and configurations;
- Debian's python3-periodictable package (public domain): densities of solids and
  liquids, and of gases as liquids at their boiling points;
- pymatgen's periodic_table.json (MIT licence, Copyright 2011-2020 Shyue Ping Ong and the
  Pymatgen Development Team; shipped by Debian's python3-pymatgen): calculated and empirical
  radii, Brinell, Mohs and Vickers hardness, bulk, shear and Young moduli, thermal
  conductivity, electric conductivity (from the resistivity), the second and later
  ionization energies and the valence (the largest magnitude among the oxidation states;
  0 for helium, neon and argon, which have none).

Gas densities at 0 degrees C and 101.325 kPa are the ideal-gas values M / 22.414 L/mol.
None of them has specific, vaporization or fusion heats, nor more liquid densities: those
cells stay "Unknown", as does any cell with no data. resources/Elements.LICENSE names the
sources and their licences. The file is committed; run this only to remake it:
    apt-get install bodr python3-periodictable python3-pymatgen
    /usr/bin/python3 scripts/make-elements.py [path/to/periodic_table.json]
"""

import json
import os
import re
import sys
import xml.etree.ElementTree as ET

BODR = "/usr/share/bodr/elements.xml"
PYMATGEN = "/usr/lib/python3/dist-packages/pymatgen/core/periodic_table.json"
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "Elements.txt")

EV_TO_KJ_PER_MOL = 96.48533212
MOLAR_VOLUME_L = 22.413969  # ideal gas at 273.15 K and 101.325 kPa
UNKNOWN = "Unknown"

# Elements named since the data set was made.
RENAMED = {
    113: ("Nihonium", "Nh"),
    114: ("Flerovium", "Fl"),
    115: ("Moscovium", "Mc"),
    116: ("Livermorium", "Lv"),
    117: ("Tennessine", "Ts"),
    118: ("Oganesson", "Og"),
}

# pymatgen's ionization lists for meitnerium and darmstadtium start at 50 and 65 eV with
# gaps after them: they are not successive energies.
NOT_SUCCESSIVE = {109, 110}

# Gases at 0 degrees C with the atoms in one molecule.
GASES = {1: 2, 2: 1, 7: 2, 8: 2, 9: 2, 10: 1, 17: 2, 18: 1, 36: 1, 54: 1, 86: 1}

SERIES = {
    "Alkali_Earth": "Alkali",
    "Alkaline_Earth": "Akaline",
    "Metalloids": "Metalloid",
    "Non-Metal": "Nonmetal",
    "Halogen": "Halogen",
    "Noblegas": "Nobel",
    "Transition": "Trans metal",
    "Other_Metal": "Post-trans metal",
}

# Valence is a real column so that an unknown valence reads as unknown, not 0.
HEADER = [
    "name.s", "symbol.s", "number.i", "weight.d", "group.i", "period.i", "density.d",
    "liquidDensity.d", "melt.d", "boil.d", "radiusCalculated.d", "radiusEmpirical.d",
    "radiusCovalent.d", "radiusVanDerWaals.d", "hardnessBrinell.d", "hardnessMohs.d",
    "hardnessVickers.d", "modulusBulk.d", "modulusShear.d", "modulusYoung.d",
    "conductivityThermal.d", "conductivityElectric.d", "specificHeat.d",
    "heatVaporization.d", "heatFusion.d", "discovered.i", "series.s", "shells.s",
    "valence.d", "electronegativity.d", "electronAffinity.d", "configuration.s",
    "ionization.s",
]


def number(x):
    """Shortest text of a float, without a trailing .0."""
    text = repr(round(float(x), 6))
    return text[:-2] if text.endswith(".0") else text


def bodr_atoms():
    ns = {"c": "http://www.xml-cml.org/schema"}
    root = ET.parse(BODR).getroot()
    atoms = {}
    for atom in root.findall("c:atom", ns):
        fields = {}
        for item in atom:
            ref = item.get("dictRef")
            value = item.get("value")
            fields[ref] = value if value is not None else item.text
        n = int(fields["bo:atomicNumber"])
        if 1 <= n <= 118:
            atoms[n] = fields
    return atoms


def densities():
    try:
        import periodictable
    except ImportError:
        sys.exit("python3-periodictable is needed")
    solid, liquid = {}, {}
    for element in periodictable.elements:
        if element.number < 1 or element.density is None:
            continue
        kg_m3 = element.density * 1000.0
        if element.number in GASES:  # given as the liquid at the boiling point
            liquid[element.number] = kg_m3
        else:
            solid[element.number] = kg_m3
    return solid, liquid


def pymatgen_atoms(path):
    with open(path, encoding="utf-8") as f:
        table = json.load(f)
    return {e["Atomic no"]: e for e in table.values() if 1 <= e["Atomic no"] <= 118}


def leading_value(text):
    """The number a pymatgen cell starts with ("about 14 ..." reads 14), or None for "no data",
    bounds ("> 10...") and words ("high")."""
    if text is None:
        return None
    text = re.sub(r"^about\s+", "", str(text).strip())
    match = re.match(r"[-+]?\d+(\.\d+)?", text)
    return float(match.group(0)) if match else None


def pymatgen_cells(p):
    """Column number -> text for the columns taken from pymatgen."""
    cells = {}

    def put(column, value, scale=1.0):
        if value is not None and value > 0:
            cells[column] = number(value * scale)

    def radius(key):  # angstrom, or the text "no data"
        v = p.get(key)
        return float(v) if isinstance(v, (int, float)) else None

    put(10, radius("Atomic radius calculated"), 100)  # angstrom -> pm
    put(11, radius("Atomic radius"), 100)
    put(14, leading_value(p.get("Brinell hardness")))  # MN/m2 = MPa
    put(15, leading_value(p.get("Mineral hardness")))  # Mohs
    put(16, leading_value(p.get("Vickers hardness")))  # MN/m2 = MPa
    put(17, leading_value(p.get("Bulk modulus")))  # GPa
    put(18, leading_value(p.get("Rigidity modulus")))  # GPa
    put(19, leading_value(p.get("Youngs modulus")))  # GPa
    put(20, leading_value(p.get("Thermal conductivity")))  # W/(m K)
    resistivity = p.get("Electrical resistivity")  # in units of 10^-8 ohm m
    rho = leading_value(resistivity)
    if rho and "10<sup>-8</sup>" in resistivity:
        put(21, 1.0 / (rho * 1e-8) / 1e6)  # S/m -> MS/m
    states = p.get("Oxidation states") or []
    if states:
        cells[28] = str(max(abs(s) for s in states))
    elif group(p["Atomic no"]) == 18 and p["Atomic no"] <= 18:
        cells[28] = "0"
    energies = list(p.get("Ionization energies") or [])
    if p["Atomic no"] in NOT_SUCCESSIVE:
        energies = []
    while energies and energies[-1] is None:
        energies.pop()
    if energies:
        cells[32] = [UNKNOWN if e is None else number(e * EV_TO_KJ_PER_MOL) for e in energies]
    return cells


def group(n):
    """Group 1 to 18; the lanthanides and actinides stand in group 3."""
    if n == 1:
        return 1
    if n == 2:
        return 18
    for start, length in ((3, 8), (11, 8)):
        if start <= n < start + length:
            k = n - start
            return k + 1 if k < 2 else k + 11
    for start in (19, 37):
        if start <= n < start + 18:
            return n - start + 1
    for start, f_first in ((55, 57), (87, 89)):
        if start <= n < start + 32:
            k = n - start
            if k < 2:
                return k + 1
            if n <= f_first + 14:
                return 3
            return n - (f_first + 14) + 3


def expand(config, configs):
    """The orbital terms of a configuration with its noble-gas core spelled out."""
    terms = config.split()
    if terms and terms[0][0].isupper():
        core = {"He": 2, "Ne": 10, "Ar": 18, "Kr": 36, "Xe": 54, "Rn": 86}[terms[0]]
        return expand(configs[core], configs) + terms[1:]
    return terms


def shells(terms):
    counts = {}
    for term in terms:
        level = int(term[0])
        counts[level] = counts.get(level, 0) + int(term[2:])
    return "-".join(str(counts.get(n, 0)) for n in range(1, max(counts) + 1))


def main():
    atoms = bodr_atoms()
    pymatgen = pymatgen_atoms(sys.argv[1] if len(sys.argv) > 1 else PYMATGEN)
    solid, liquid = densities()
    configs = {n: a.get("bo:electronicConfiguration") for n, a in atoms.items()}
    lines = [",".join(HEADER)]
    for n in range(1, 119):
        a = atoms[n]
        row = [UNKNOWN] * len(HEADER)
        name, symbol = RENAMED.get(n, (a["bo:name"], a["bo:symbol"]))
        row[0] = name
        row[1] = symbol
        row[2] = str(n)
        row[3] = number(a["bo:mass"])
        lanthanide = 57 <= n <= 71
        actinide = 89 <= n <= 103
        row[4] = str(group(n))
        row[5] = a["bo:period"]
        if n in GASES:
            molar = float(a["bo:mass"]) * GASES[n]
            row[6] = number(molar / MOLAR_VOLUME_L)
        elif n in solid:
            row[6] = number(solid[n])
        melt = a.get("bo:meltingpoint")
        boil = a.get("bo:boilingpoint")
        if n in liquid:
            row[7] = number(liquid[n])
        elif n in solid and melt and boil and float(melt) < 293.15 < float(boil):
            row[7] = number(solid[n])  # liquid at room temperature
        if melt:
            row[8] = number(melt)
        if boil:
            row[9] = number(boil)
        if a.get("bo:radiusCovalent") and float(a["bo:radiusCovalent"]) > 0:
            row[12] = number(float(a["bo:radiusCovalent"]) * 100)
        if a.get("bo:radiusVDW") and float(a["bo:radiusVDW"]) > 0:
            row[13] = number(float(a["bo:radiusVDW"]) * 100)
        if n == 117:
            row[25] = "2010"  # missing from the data set
        elif a.get("bo:discoveryDate") is not None:
            row[25] = a["bo:discoveryDate"]
        if lanthanide:
            row[26] = "Lanthanide"
        elif actinide:
            row[26] = "Actinoid"
        elif a.get("bo:family") in SERIES:
            row[26] = SERIES[a["bo:family"]]
        config = configs.get(n)
        if config:
            terms = config.split()
            if terms[0][0].isupper():
                terms[0] = "[" + terms[0] + "]"
            row[31] = " ".join(terms)
            row[27] = shells(expand(config, configs))
        if a.get("bo:electronegativityPauling"):
            row[29] = number(a["bo:electronegativityPauling"])
        if a.get("bo:electronAffinity"):
            row[30] = number(float(a["bo:electronAffinity"]) * EV_TO_KJ_PER_MOL)
        first = None
        if a.get("bo:ionization"):
            first = number(float(a["bo:ionization"]) * EV_TO_KJ_PER_MOL)
        extra = pymatgen_cells(pymatgen[n])
        energies = extra.pop(32, None)
        if energies:
            if first is not None:  # the first energy stays the Blue Obelisk one
                energies[0] = first
            row[32] = " ".join(energies)
        elif first is not None:
            row[32] = first
        for column, text in extra.items():
            row[column] = text
        for cell in row:
            assert "," not in cell, (n, cell)
        lines.append(",".join(row))
    with open(OUT, "w", newline="") as out:
        out.write("\r\n".join(lines) + "\r\n")


if __name__ == "__main__":
    main()
