#!/usr/bin/python3
"""Writes a folder of office-like data for the archiver benchmark.

The mix of a small office's backup, made the same way on every run (fixed
seed), about half of it a database dump:
  dump/   a SQL Server-like backup file: 8 KiB pages of fixed-width rows
          (numbers, dates, names and addresses padded with blanks), each page
          with some free space
  hojas/  spreadsheets: CSV exports of invoices and .xlsx workbooks (zip
          files of sheet XML, already compressed, as real ones are)
  textos/ letters, minutes and notes in plain text

Usage: bench/archive/office_data.py FOLDER [SIZE_MIB]   (default 300)
"""
import os
import random
import struct
import sys
import zipfile

WORDS = ("el la los las de del y en a por para con sin sobre cliente factura pedido entrega "
         "pago importe total cuenta banco oficina reunión acta acuerdo proyecto plazo semana mes "
         "año precio unidad producto servicio contrato firma revisión informe ventas compras "
         "proveedor almacén stock envío transporte devolución descuento impuesto iva nómina "
         "empleado departamento gerencia dirección teléfono correo dirección calle ciudad").split()
NAMES = ("García López Martínez Sánchez Pérez Gómez Fernández Díaz Torres Ramírez Flores Rivera "
         "Morales Ortiz Castro Romero Herrera Medina Aguilar Vargas").split()
FIRST = "Ana Luis María José Carmen Jorge Lucía Pedro Elena Miguel Rosa Pablo Laura Diego".split()
STREETS = "Mayor Real Sol Luna Olivos Pinos Rosales Alameda Libertad Constitución".split()
PRODUCTS = ("papel A4", "tóner negro", "grapadora", "carpeta azul", "silla de oficina",
            "monitor 24", "teclado", "ratón", "cable HDMI", "archivador", "bolígrafos", "sobres")


def sentence(rng):
    words = rng.choices(WORDS, k=rng.randint(6, 18))
    return " ".join(words).capitalize() + "."


def write_text(folder, rng, budget):
    written, n = 0, 0
    while written < budget:
        n += 1
        lines = [f"Asunto: {rng.choice(WORDS)} {rng.choice(WORDS)} {n}", ""]
        for _ in range(rng.randint(20, 120)):
            lines.append(" ".join(sentence(rng) for _ in range(rng.randint(1, 5))))
            if rng.random() < 0.2:
                lines.append("")
        data = ("\r\n".join(lines) + "\r\n").encode("utf-8")
        with open(os.path.join(folder, f"documento_{n:05d}.txt"), "wb") as f:
            f.write(data)
        written += len(data)
    return written


def invoice_rows(rng, count, start):
    for i in range(count):
        qty = rng.randint(1, 50)
        price = rng.randint(100, 50000) / 100
        yield (f"{start + i};2024-{rng.randint(1, 12):02d}-{rng.randint(1, 28):02d};"
               f"{rng.choice(FIRST)} {rng.choice(NAMES)};{rng.choice(PRODUCTS)};{qty};"
               f"{price:.2f};{qty * price:.2f};{qty * price * 0.21:.2f}")


def write_sheets(folder, rng, budget):
    written, n = 0, 0
    while written < budget:
        n += 1
        rows = list(invoice_rows(rng, rng.randint(500, 5000), n * 10000))
        if n % 3:
            path = os.path.join(folder, f"facturas_{n:04d}.csv")
            with open(path, "wb") as f:
                f.write(("numero;fecha;cliente;producto;cantidad;precio;importe;iva\r\n"
                         + "\r\n".join(rows) + "\r\n").encode("utf-8"))
        else:
            path = os.path.join(folder, f"libro_{n:04d}.xlsx")
            cells = "".join(
                "<row r=\"%d\">%s</row>" % (r + 1, "".join(
                    f"<c t=\"inlineStr\"><is><t>{value}</t></is></c>" for value in row.split(";")))
                for r, row in enumerate(rows))
            with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as book:
                book.writestr("[Content_Types].xml", "<?xml version=\"1.0\"?><Types/>")
                book.writestr("xl/worksheets/sheet1.xml",
                              f"<?xml version=\"1.0\"?><worksheet><sheetData>{cells}</sheetData></worksheet>")
        written += os.path.getsize(path)
    return written


def write_dump(path, rng, budget):
    """8 KiB pages: a 96-byte header, fixed-width rows, free space left as zeros."""
    row = struct.Struct("<HHiiq30s40s40s20sdd")
    written, page_no, key = 0, 0, 0
    with open(path, "wb") as f:
        f.write(b"TAPE" + bytes(8188))
        while written < budget:
            page_no += 1
            header = struct.pack("<IIHH", page_no, page_no + 1, 1, 0).ljust(96, b"\0")
            rows = []
            for _ in range(rng.randint(20, 34)):
                key += 1
                name = f"{rng.choice(FIRST)} {rng.choice(NAMES)}".encode("utf-8")
                street = f"Calle {rng.choice(STREETS)} {rng.randint(1, 200)}".encode("utf-8")
                city = rng.choice(NAMES).encode("utf-8")
                rows.append(row.pack(0x30, row.size, key, rng.randint(1, 9999),
                                     1_700_000_000 + rng.randint(0, 31_536_000), name.ljust(30),
                                     street.ljust(40), city.ljust(40), f"6{rng.randint(0, 99999999):08d}".encode().ljust(20),
                                     rng.randint(0, 10_000_000) / 100, rng.random()))
            page = (header + b"".join(rows))[:8192].ljust(8192, b"\0")
            f.write(page)
            written += len(page)
    return written


def main():
    if len(sys.argv) not in (2, 3):
        raise SystemExit(__doc__)
    folder = sys.argv[1]
    total = int(sys.argv[2] if len(sys.argv) == 3 else 300) * 1024 * 1024
    rng = random.Random(19)
    for sub in ("dump", "hojas", "textos"):
        os.makedirs(os.path.join(folder, sub), exist_ok=True)
    made = write_dump(os.path.join(folder, "dump", "Ventas.BAK"), rng, total // 2)
    made += write_sheets(os.path.join(folder, "hojas"), rng, total * 3 // 10)
    made += write_text(os.path.join(folder, "textos"), rng, total - made)
    print(made)


if __name__ == "__main__":
    main()
