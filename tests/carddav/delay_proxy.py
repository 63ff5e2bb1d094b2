#!/usr/bin/env python3
"""A TCP proxy on 127.0.0.1 that holds every chunk DELAY_MS each way, as a
server at a distance would; it writes to STATS the most requests it has seen
waiting for an answer at once (a connection whose client has sent since the
server last answered on it).

Usage: delay_proxy.py LISTEN_PORT SERVER_PORT DELAY_MS STATS
"""
import asyncio
import sys
import time

listen_port, server_port, delay, stats = (int(sys.argv[1]), int(sys.argv[2]),
                                          int(sys.argv[3]) / 1000.0, sys.argv[4])
waiting = set()
peak = 0


def note(connection, asking):
    global peak
    if asking:
        waiting.add(connection)
    else:
        waiting.discard(connection)
    if len(waiting) > peak:
        peak = len(waiting)
        with open(stats, "w") as out:
            out.write(f"{peak}\n")


async def carry(reader, writer, connection, asking):
    """Copies one direction, each chunk sent DELAY_MS after it came."""
    queue = asyncio.Queue()

    async def send():
        while True:
            due, chunk = await queue.get()
            await asyncio.sleep(max(0.0, due - time.monotonic()))
            if chunk is None:
                break
            note(connection, asking)
            writer.write(chunk)
            await writer.drain()
        writer.close()

    sender = asyncio.ensure_future(send())
    try:
        while chunk := await reader.read(65536):
            queue.put_nowait((time.monotonic() + delay, chunk))
    except ConnectionError:
        pass
    queue.put_nowait((time.monotonic() + delay, None))
    try:
        await sender
    except ConnectionError:
        pass


async def serve(client_reader, client_writer):
    try:
        server_reader, server_writer = await asyncio.open_connection("127.0.0.1", server_port)
    except OSError:
        client_writer.close()  # the server is gone: so is the connection
        return
    connection = object()
    await asyncio.gather(carry(client_reader, server_writer, connection, True),
                         carry(server_reader, client_writer, connection, False))
    waiting.discard(connection)


async def main():
    server = await asyncio.start_server(serve, "127.0.0.1", listen_port)
    async with server:
        await server.serve_forever()


asyncio.run(main())
